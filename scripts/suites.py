#!/usr/bin/env python3
"""Runs the chosen Wines' Windows suites side by side (scripts/in-wine.sh suite), each on an
Xvfb display of its own for its whole run and in a process namespace of its own, with a log
each; beside them the checks, the native tree's ctest, where --checks names that tree.

    suites.py [--own] [--own-arch ARCH] [--checks TREE] [CTEST ARGS]

A failed test fails the run. It runs once more for evidence, with Wine's err and seh
channels in its log, which changes nothing; but a test whose checks all passed and whose
process then crashed on its way out passes when its second run's own JUnit file says so.
A test of scripts/quarantine.txt fails nothing under its Wine until its date, and is named.
"""
import concurrent.futures as futures
import datetime
import os
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree

import roots
import wines

LOGS = wines.BUILD / "logs"
EVIDENCE = "-all,err+all,+seh"


def job(name, command, env, limit):
    """(status, or None when it ran out of time; its log; its seconds)."""
    log, began = LOGS / f"{name}.log", time.monotonic()
    with open(log, "w") as out:
        process = subprocess.Popen(command, cwd=wines.ROOT, env=env, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL)
        try:
            status = process.wait(limit)
        except subprocess.TimeoutExpired:
            process.kill()  # its namespace goes with it, and all in it
            process.wait()
            status = None
    return status, log, time.monotonic() - began


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
    if not number:
        wines.fail("starting a virtual display", "Xvfb gave no display number within 20 s")
    return xvfb, f":{number}"


def results(junit):
    """ctest's JUnit file: its counts, and the failed tests with their output."""
    suite = ElementTree.parse(junit).getroot()
    counts = {k: int(suite.get(k, 0)) for k in ("tests", "failures", "disabled", "skipped")}
    return counts, {case.get("name"): case.findtext("system-out") or "(no output)"
                    for case in suite.iter("testcase") if case.get("status") == "fail"}


def quarantine(wine):
    """{test: why} of this Wine's entries in force; an expired one is said and counts again."""
    kept = {}
    for line in (wines.SCRIPTS / "quarantine.txt").read_text().splitlines():
        if line.strip() and not line.startswith("#") and line.split()[0] == wine:
            _, test, until, why = line.split(None, 3)
            if datetime.date.fromisoformat(until) >= datetime.date.today():
                kept[test] = f"{why} (until {until})"
            else:
                print(f"== {wine}: the quarantine of {test} ended on {until}: it counts again", flush=True)
    return kept


def crashed_on_exit(output):
    """All of its checks passed, then its process failed: gtest's summary says PASSED."""
    return "[  PASSED  ]" in output and "[  FAILED  ]" not in output


def suite(wine, ctest_args):
    name, tree = wine["name"], wines.BUILD / ("" if wine["arch"] == "i686" else "x86_64")
    junit, about = tree / f"ctest-{name}.xml", tree / f"ctest-{name}.about"
    for stale in (junit, about):
        stale.unlink(missing_ok=True)
    xvfb, number = display()
    env = dict(os.environ, DISPLAY=number, PELMAR_ARCH=wine["arch"], PELMAR_WINE_NAME=name)
    limit = int(os.environ.get("PELMAR_SUITE_TIMEOUT", "1500"))

    def run(label, args, **more):
        command = roots.where(wine, ["bash", str(wines.SCRIPTS / "in-wine.sh"), "suite", name, *args])
        return job(label, command, dict(env, **more), limit)
    try:
        status, log, seconds = run(name, ctest_args)
        problems = [last_words(log, "the suite ran out of time")] if status is None else []
        if xvfb.poll() is not None or f"X connection to {number} broken" in log.read_text(errors="replace"):
            problems.append(f"FAILED: {name}: the suite's display {number} went away while it ran")
        if not junit.is_file():
            return name, f"no results (see {log})", problems + [last_words(log, "no test ran: its set-up failed")], seconds
        counts, failed = results(junit)
        held = quarantine(name)
        notes = [f"quarantined: {t} ({'failed' if t in failed else 'passed'}; {why})" for t, why in held.items()]
        again = []
        for test, output in failed.items():
            only = ["-R", f"^{test.replace('.', '[.]')}$", "--no-tests=error"]
            if test in held:
                continue
            if crashed_on_exit(output):
                rerun = tree / f"ctest-{name}-again.xml"
                run(f"{name}-again", only, PELMAR_JUNIT=str(rerun))
                if rerun.is_file() and results(rerun) == (dict(tests=1, failures=0, disabled=0, skipped=0), {}):
                    again.append(test)
                    continue
            evidence = run(f"{name}-evidence", only, PELMAR_WINEDEBUG=EVIDENCE,
                           PELMAR_JUNIT=str(tree / f"ctest-{name}-evidence.xml"))[1]
            problems.append(f"---- {name}: {test} failed; its output:\n{output}\n---- end of {test} (run once more "
                            f"for evidence with WINEDEBUG={EVIDENCE}: {evidence})")
        if again:
            notes.append("crashed on its way out after its checks passed, passed run once more: " + ", ".join(again))
        if status and not failed and not problems:
            problems.append(f"FAILED: {name}: ctest ended with status {status}, no test failed (see {log})")
        ran = counts["tests"] - counts["disabled"] - counts["skipped"]
        bad = len(failed) - len(again) - len([t for t in failed if t in held])
        line = (f"{about.read_text().strip()}, {wine['arch']} build{' in WoW64 mode' if wine['wow64'] else ''}: "
                f"{ran} ran, {ran - len(failed) + len(again)} passed, {bad} failed, {counts['tests'] - ran} skipped")
        return name, line + "".join(f"; {n}" for n in notes), problems, seconds
    finally:
        xvfb.kill()
        xvfb.wait()


def checks(tree):
    junit = tree + "/ctest-checks.xml"
    status, log, seconds = job("checks", ["nice", "-n", "10", "ctest", "--test-dir", tree, "--output-on-failure",
                                          "--output-junit", junit], dict(os.environ), 1500)
    counts, failed = results(junit) if os.path.isfile(junit) else ({"tests": 0}, {})
    problems = [] if status == 0 else [f"---- the checks: {log}\n{log.read_text(errors='replace')}---- end of the checks"]
    return "the checks", f"{counts['tests']} ran, {len(failed)} failed{': ' if failed else ''}{', '.join(failed)}", problems, seconds


def main(args):
    options = {"--own": False, "--own-arch": None, "--checks": None}
    while args[:1] and args[0] in options:
        options[args[0]], args = (True, args[1:]) if args[0] == "--own" else (args[1], args[2:])
    own_only, own_arch, tree = options.values()
    LOGS.mkdir(parents=True, exist_ok=True)
    plan = wines.chosen(own_only, own_arch)
    lines, times, failed = {w["name"]: f"skipped: {w['why']}" for w in plan if not w["arch"]}, [], False
    with futures.ThreadPoolExecutor(int(os.environ.get("PELMAR_JOBS") or os.cpu_count() or 1)) as pool, \
            futures.ThreadPoolExecutor(1) as beside:
        jobs = [beside.submit(checks, tree)] if tree else []
        for wine in (w for w in plan if w["arch"]):
            print(f"== {wine['name']} runs the {wine['arch']} build ({wine['why']}); log {LOGS / wine['name']}.log", flush=True)
            jobs.append(pool.submit(suite, wine, args))
        for done in futures.as_completed(jobs):
            name, line, problems, seconds = done.result()
            print("".join(p + "\n" for p in problems) + f"== {name} ended in {seconds:.0f} s: {line}", flush=True)
            lines[name], failed = line, failed or bool(problems)
            times.append(f"{name} {seconds:.0f} s")
    print("Times side by side: " + "; ".join(times) + ".")
    print("".join(f"Windows tests under {w['name']}: {lines[w['name']]}.\n" for w in plan), end="")
    if tree:
        print(f"The checks: {lines['the checks']}.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
