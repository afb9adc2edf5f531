#!/usr/bin/env python3
"""suites.py [--own] [--own-arch ARCH] [--checks TREE] [CTEST ARGS]: the chosen Wines' suites
side by side (in-wine.sh suite), each on an Xvfb display and in a process namespace of its
own, a log each; beside them the native tree's ctest (the checks). Rules: scripts/README.md."""
import concurrent.futures as futures
import os
import subprocess
import sys
import time

import roots
import wines
from verdict import EVIDENCE, crashed_on_exit, quarantine, results

LOGS = wines.BUILD / "logs"


def job(name, command, env, limit):
    """(status, or None when it ran out of time; its log; its seconds)."""
    log, began = LOGS / f"{name}.log", time.monotonic()
    with open(log, "w") as out:
        process = subprocess.Popen(command, cwd=wines.ROOT, env=env, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL)
        try:
            return process.wait(limit), log, time.monotonic() - began
        except subprocess.TimeoutExpired:
            process.kill()  # its namespace goes with it, and all in it
            process.wait()
            return None, log, time.monotonic() - began


def last_words(log, why):
    return f"---- the last words of {log}:\n{''.join(log.read_text(errors='replace').splitlines(True)[-40:])}---- {why}"


def display():
    """An Xvfb that picks a free display number itself and says it once it listens."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as said, futures.ThreadPoolExecutor(1) as reader:
        try:
            number = reader.submit(said.readline).result(timeout=20).strip()
        except futures.TimeoutError:
            xvfb.kill()  # which ends the read
            number = ""
    return xvfb, f":{number}" if number else wines.fail("starting a virtual display", "Xvfb gave no number within 20 s")


def suite(wine, ctest_args):
    name, tree = wine["name"], wines.BUILD / ("" if wine["arch"] == "i686" else "x86_64")
    junit, about = tree / f"ctest-{name}.xml", tree / f"ctest-{name}.about"
    junit.unlink(missing_ok=True), about.unlink(missing_ok=True)
    xvfb, number = display()
    env = dict(os.environ, DISPLAY=number, PELMAR_ARCH=wine["arch"], PELMAR_WINE_NAME=name)

    def run(label, args, **more):
        command = roots.where(wine, ["bash", str(wines.SCRIPTS / "in-wine.sh"), "suite", name, *args])
        return job(label, command, dict(env, **more), int(os.environ.get("PELMAR_SUITE_TIMEOUT", "1500")))
    try:
        status, log, seconds = run(name, ctest_args)
        problems = [last_words(log, "the suite ran out of time")] if status is None else []
        if xvfb.poll() is not None or f"X connection to {number} broken" in log.read_text(errors="replace"):
            problems.append(f"FAILED: {name}: the suite's display {number} went away while it ran")
        if not junit.is_file():
            return name, f"no results (see {log})", problems + [last_words(log, "no test ran: its set-up failed")], seconds
        counts, failed = results(junit)
        held, again = quarantine(name), []
        for test, output in ((t, o) for t, o in failed.items() if t not in held):
            only = ["-R", f"^{test.replace('.', '[.]')}$", "--no-tests=error"]
            if crashed_on_exit(output):
                rerun = tree / f"ctest-{name}-again.xml"
                run(f"{name}-again", only, PELMAR_JUNIT=str(rerun))
                if rerun.is_file() and results(rerun) == (dict(tests=1, failures=0, disabled=0, skipped=0), {}):
                    again.append(test)
                    continue
            evidence = run(f"{name}-evidence-{test}", ["-V", *only], PELMAR_WINEDEBUG=EVIDENCE,
                           PELMAR_JUNIT=str(tree / f"ctest-{name}-evidence.xml"))[1]
            problems.append(f"---- {name}: {test} failed; its output:\n{output}\n---- end of {test} (run once more "
                            f"for evidence with WINEDEBUG={EVIDENCE}: {evidence})")
        if status and not failed and not problems:
            problems.append(f"FAILED: {name}: ctest ended with status {status}, no test failed (see {log})")
        ran = counts["tests"] - counts["disabled"] - counts["skipped"]
        notes = [f"; quarantined: {t} ({'failed' if t in failed else 'passed'}; {why})" for t, why in held.items()]
        notes += ["; crashed on its way out after its checks passed, passed run once more: " + ", ".join(again)] * bool(again)
        return name, (f"{about.read_text().strip()}, {wine['arch']} build{' in WoW64 mode' if wine['wow64'] else ''}: "
                      f"{ran} ran, {ran - len(failed) + len(again)} passed, "
                      f"{len([t for t in failed if t not in held]) - len(again)} failed, {counts['tests'] - ran} skipped"
                      + "".join(notes)), problems, seconds
    finally:
        xvfb.kill()
        xvfb.wait()


def checks(tree):
    junit = f"{tree}/ctest-checks.xml"
    status, log, seconds = job("checks", ["nice", "-n", "10", "ctest", "--test-dir", tree, "--output-on-failure",
                                          "--output-junit", junit], dict(os.environ), 1500)
    counts, failed = results(junit) if os.path.isfile(junit) else ({"tests": 0}, {})
    problems = [f"---- the checks: {log}\n{log.read_text(errors='replace')}---- end of the checks"] * (status != 0)
    return "the checks", f"{counts['tests']} ran, {len(failed)} failed{': ' * bool(failed)}{', '.join(failed)}", problems, seconds


def main(args):
    options = {"--own": False, "--own-arch": None, "--checks": None}
    while args[:1] and args[0] in options:
        options[args[0]], args = (True, args[1:]) if args[0] == "--own" else (args[1], args[2:])
    own_only, own_arch, tree = options.values()
    LOGS.mkdir(parents=True, exist_ok=True)
    plan = wines.chosen(own_only, own_arch)
    lines, times, bad = {w["name"]: f"skipped: {w['why']}" for w in plan if not w["arch"]}, [], False
    with futures.ThreadPoolExecutor(int(os.environ.get("PELMAR_JOBS") or os.cpu_count() or 1)) as pool, \
            futures.ThreadPoolExecutor(1) as beside:
        jobs = [beside.submit(checks, tree)] if tree else []
        for wine in (w for w in plan if w["arch"]):
            print(f"== {wine['name']} runs the {wine['arch']} build ({wine['why']}); log {LOGS / wine['name']}.log", flush=True)
            jobs.append(pool.submit(suite, wine, args))
        for done in futures.as_completed(jobs):
            name, line, problems, seconds = done.result()
            print("".join(p + "\n" for p in problems) + f"== {name} ended in {seconds:.0f} s: {line}", flush=True)
            lines[name], bad, times = line, bad or bool(problems), times + [f"{name} {seconds:.0f} s"]
    print("Times side by side: " + "; ".join(times) + ".")
    print("".join(f"Windows tests under {w['name']}: {lines[w['name']]}.\n" for w in plan), end="")
    print(f"The checks: {lines['the checks']}.\n" if tree else "", end="")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
