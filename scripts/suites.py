#!/usr/bin/env python3
"""suites.py [--checks TREE] [CTEST ARGS]: the suites of the plan's Wines (PELMAR_PLAN) side
by side (in-wine.sh suite), each on an Xvfb display and in a process namespace of its own, a
log each; beside them the native tree's ctest (the checks). Rules: scripts/README.md."""

import argparse
import concurrent.futures as futures
import os
import subprocess
import sys
import time

import display
import roots
import wines
from verdict import EVIDENCE, crashed_on_exit, quarantine, results

LOGS = wines.BUILD / "logs"


def job(name, command, env, limit):
    """(status, or None when it ran out of time; its log; its seconds)."""
    log, began = LOGS / f"{name}.log", time.monotonic()
    with open(log, "w") as out:
        process = subprocess.Popen(
            command,
            cwd=wines.ROOT,
            env=env,
            stdout=out,
            stderr=subprocess.STDOUT,
            stdin=subprocess.DEVNULL,
        )
        try:
            return process.wait(limit), log, time.monotonic() - began
        except subprocess.TimeoutExpired:
            process.kill()  # its namespace goes with it, and all in it
            process.wait()
            return None, log, time.monotonic() - began


def last_words(log, why):
    words = "".join(log.read_text(errors="replace").splitlines(True)[-40:])
    return f"---- the last words of {log}:\n{words}---- {why}"


def suite(wine, ctest_args):
    name, tree = wine["name"], wines.BUILD / ("" if wine["arch"] == "i686" else "x86_64")
    junit, about = tree / f"ctest-{name}.xml", tree / f"ctest-{name}.about"
    junit.unlink(missing_ok=True)
    about.unlink(missing_ok=True)
    xvfb, number = display.start()
    env = dict(os.environ, DISPLAY=number, PELMAR_ARCH=wine["arch"])

    def run(label, args, **more):
        command = ["bash", str(wines.SCRIPTS / "in-wine.sh"), "suite", name, *args]
        return job(label, roots.where(wine, command), dict(env, **more), wines.limit("SUITE"))

    try:
        status, log, seconds = run(name, ctest_args)
        problems = [last_words(log, "the suite ran out of time")] if status is None else []
        words = log.read_text(errors="replace")
        if xvfb.poll() is not None or f"X connection to {number} broken" in words:
            problems.append(f"FAILED: {name}: the suite's display {number} went away while it ran")
        if not junit.is_file():
            problems.append(last_words(log, "no test ran: its set-up failed"))
            return name, f"no results (see {log})", problems, seconds
        counts, failed = results(junit)
        held, again = quarantine(name), []
        for test, output in failed.items():
            if test in held:
                continue
            only = ["-R", f"^{test.replace('.', '[.]')}$", "--no-tests=error"]
            if crashed_on_exit(output):
                rerun = tree / f"ctest-{name}-again.xml"
                run(f"{name}-again", only, PELMAR_JUNIT=str(rerun))
                one_passed = dict(tests=1, failures=0, disabled=0, skipped=0), {}
                if rerun.is_file() and results(rerun) == one_passed:
                    again.append(test)
                    continue
            evidence = tree / f"ctest-{name}-evidence.xml"
            label = f"{name}-evidence-{test}"
            run(label, ["-V", *only], PELMAR_WINEDEBUG=EVIDENCE, PELMAR_JUNIT=str(evidence))
            problems.append(
                f"---- {name}: {test} failed; its output:\n{output}\n---- end of {test} (run once"
                f" more for evidence with WINEDEBUG={EVIDENCE}: {LOGS / label}.log)"
            )
        if status and not failed and not problems:
            problems.append(f"FAILED: {name}: ctest ended with status {status}, no test failed")
        return name, summary(wine, about, counts, failed, held, again), problems, seconds
    finally:
        xvfb.kill()
        xvfb.wait()


def summary(wine, about, counts, failed, held, again):
    ran = counts["tests"] - counts["disabled"] - counts["skipped"]
    wow64 = " in WoW64 mode" if wine["wow64"] else ""
    bad = len([t for t in failed if t not in held]) - len(again)
    line = (
        f"{about.read_text().strip()}, {wine['arch']} build{wow64}: {ran} ran,"
        f" {ran - len(failed) + len(again)} passed, {bad} failed, {counts['tests'] - ran} skipped"
    )
    for test, why in held.items():
        line += f"; quarantined: {test} ({'failed' if test in failed else 'passed'}; {why})"
    if again:
        line += "; crashed on its way out after its checks passed, passed run once more: "
        line += ", ".join(again)
    return line


def checks(tree):
    junit = f"{tree}/ctest-checks.xml"
    # As many at once as there are cores: the suites beside them mostly wait on their windows.
    command = ["nice", "-n", "10", "ctest", "--test-dir", tree, "--output-on-failure"]
    command += ["-j", str(os.cpu_count() or 1)]
    command += ["--output-junit", junit]
    status, log, seconds = job("checks", command, dict(os.environ), wines.limit("CHECKS"))
    counts, failed = results(junit) if os.path.isfile(junit) else ({"tests": 0}, {})
    problems = []
    if status is None:
        problems.append(last_words(log, "the checks ran out of time"))
    elif status:
        words = log.read_text(errors="replace")
        problems.append(f"---- the checks: {log}\n{words}---- end of the checks")
    line = f"{counts['tests']} ran, {len(failed)} failed"
    if failed:
        line += ": " + ", ".join(failed)
    return "the checks", line, problems, seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__, allow_abbrev=False)
    parser.add_argument("--checks", metavar="TREE", help="the native tree whose ctest runs")
    args, ctest_args = parser.parse_known_args()
    LOGS.mkdir(parents=True, exist_ok=True)
    plan = wines.read_plan()
    lines = {w["name"]: f"skipped: {w['why']}" for w in plan if not w["arch"]}
    times, bad = [], False
    jobs = int(os.environ.get("PELMAR_JOBS") or os.cpu_count() or 1)
    with futures.ThreadPoolExecutor(jobs) as pool, futures.ThreadPoolExecutor(1) as beside:
        running = [beside.submit(checks, args.checks)] if args.checks else []
        for wine in (w for w in plan if w["arch"]):
            log = LOGS / f"{wine['name']}.log"
            print(f"== {wine['name']} runs the {wine['arch']} build ({wine['why']}); log {log}")
            running.append(pool.submit(suite, wine, ctest_args))
        sys.stdout.flush()
        for done in futures.as_completed(running):
            name, line, problems, seconds = done.result()
            said = "".join(p + "\n" for p in problems)
            print(f"{said}== {name} ended in {seconds:.0f} s: {line}", flush=True)
            lines[name] = line
            bad = bad or bool(problems)
            times.append(f"{name} {seconds:.0f} s")
    print("Times side by side: " + "; ".join(times) + ".")
    for wine in plan:
        print(f"Windows tests under {wine['name']}: {lines[wine['name']]}.")
    if args.checks:
        print(f"The checks: {lines['the checks']}.")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
