#!/usr/bin/env python3
"""Runs the chosen Wines' Windows suites side by side, each on an Xvfb display of its own for
its whole run, in a process namespace of its own (scripts/in-wine.sh suite, entered as
scripts/wines.py enters it), with a log of its own; beside them the checks, the native
tree's ctest, when --checks names that tree.

    suites.py [--own] [--own-arch ARCH] [--checks TREE] [CTEST ARGS]

A failed test fails the run. It is run once more for evidence, with Wine's err and seh
channels in its log; that run changes nothing. One exception: a test whose checks all
passed and whose Wine process then crashed on its way out is run once more, and passes
when that run's own JUnit file says so. A test of scripts/quarantine.txt (a known fault of
that Wine) fails nothing until its date; every quarantined test is named.
"""
import concurrent.futures
import datetime
import os
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import wines

LOGS = wines.BUILD / "logs"
EVIDENCE = "-all,err+all,+seh"


def job(name, command, env, limit):
    """Runs a command to its end or its time limit, with a log of its own: (status, log,
    seconds); the status is None when it ran out of time."""
    log, began = LOGS / f"{name}.log", time.monotonic()
    with open(log, "w") as out:
        process = subprocess.Popen(command, cwd=wines.ROOT, env=env, stdout=out,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        try:
            status = process.wait(limit)
        except subprocess.TimeoutExpired:
            process.kill()  # the namespace goes with it, and all in it
            process.wait()
            status = None
    return status, log, time.monotonic() - began


def last_words(log, why):
    lines = log.read_text(errors="replace").splitlines(True)[-40:]
    return f"---- the last words of {log}:\n{''.join(lines)}---- {why}"


def display():
    """An Xvfb that picks a free display number itself and says it once it listens."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write,), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as said:
        ready = concurrent.futures.ThreadPoolExecutor(1).submit(said.readline)
        try:
            number = ready.result(timeout=20).strip()
        except concurrent.futures.TimeoutError:
            number = ""
    if not number:
        xvfb.kill()
        wines.fail("starting a virtual display", "Xvfb gave no display number within 20 s")
    return xvfb, f":{number}"


def results(junit):
    """ctest's JUnit file: (counts, failed cases as (name, output))."""
    suite = ElementTree.parse(junit).getroot()
    counts = {k: int(suite.get(k, 0)) for k in ("tests", "failures", "disabled", "skipped")}
    failed = [(case.get("name"), case.findtext("system-out") or "(no output)")
              for case in suite.iter("testcase") if case.get("status") == "fail"]
    return counts, failed


def quarantine(wine):
    """{test: why} of this Wine's entries in force; the expired ones are said, not kept."""
    kept, today = {}, datetime.date.today()
    for line in (wines.SCRIPTS / "quarantine.txt").read_text().splitlines():
        if line.strip() and not line.startswith("#"):
            name, test, until, why = line.split(None, 3)
            if name == wine and datetime.date.fromisoformat(until) >= today:
                kept[test] = f"{why} (until {until})"
            elif name == wine:
                print(f"== {wine}: the quarantine of {test} ended on {until}: it counts again")
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
    run = lambda label, args, **more: job(label, wines.where(wine, [
        "bash", str(wines.SCRIPTS / "in-wine.sh"), "suite", name, *args]), dict(env, **more),
        int(os.environ.get("PELMAR_SUITE_TIMEOUT", "1500")))
    try:
        status, log, seconds = run(name, ctest_args)
        problems, notes = [], []
        if status is None:
            problems.append(last_words(log, "the suite ran out of time"))
        if xvfb.poll() is not None or f"X connection to {number} broken" in log.read_text(errors="replace"):
            problems.append(f"the suite's display {number} went away while it ran")
        if not junit.is_file():
            problems.append(last_words(log, "no test ran: the suite's set-up failed"))
            return name, f"no results (see {log})", problems, seconds
        counts, failed = results(junit)
        held = quarantine(name)
        notes += [f"quarantined: {t} ({'failed' if t in dict(failed) else 'passed'}; {why})"
                  for t, why in held.items()]
        passed_again = []
        for test, output in failed:
            if test in held:
                continue
            pattern = ["-R", f"^{test.replace('.', '[.]')}$", "--no-tests=error"]
            if crashed_on_exit(output):
                again = tree / f"ctest-{name}-again.xml"
                run(f"{name}-again", pattern, PELMAR_JUNIT=str(again))
                if again.is_file() and results(again)[0] == dict(tests=1, failures=0, disabled=0, skipped=0):
                    passed_again.append(test)
                    continue
            problems.append(f"---- {name}: {test} failed; its output:\n{output}\n---- end of {test}")
            evidence = run(f"{name}-{test}-evidence", pattern, PELMAR_WINEDEBUG=EVIDENCE,
                           PELMAR_JUNIT=str(tree / f"ctest-{name}-evidence.xml"))[1]
            problems[-1] += f" (run again with WINEDEBUG={EVIDENCE} for evidence: {evidence})"
        if passed_again:
            notes.append("crashed on its way out after its checks passed, passed when run "
                         "once more: " + ", ".join(passed_again))
        ran = counts["tests"] - counts["disabled"] - counts["skipped"]
        bad = counts["failures"] - len(passed_again) - len([t for t, _ in failed if t in held])
        line = (f"{about.read_text().strip()}, {wine['arch']} build"
                f"{' in WoW64 mode' if wine['wow64'] else ''}: {ran} ran, {ran - counts['failures'] + len(passed_again)} "
                f"passed, {bad} failed, {counts['disabled'] + counts['skipped']} skipped")
        if status and not counts["failures"] and not problems:
            problems.append(f"ctest ended with status {status} though no test failed (see {log})")
        return name, line + "".join(f"; {n}" for n in notes), problems, seconds
    finally:
        xvfb.kill()
        xvfb.wait()


def checks(tree):
    status, log, seconds = job("checks", ["nice", "-n", "10", "ctest", "--test-dir", tree,
                                          "--output-on-failure", "--output-junit", f"{tree}/ctest-checks.xml"],
                               dict(os.environ), 1500)
    print(f"---- the checks: {log}\n{log.read_text(errors='replace')}---- end of the checks", flush=True)
    problems = [] if status == 0 else [f"the checks failed (status {status}; {log})"]
    line = "no results"
    if Path(tree, "ctest-checks.xml").is_file():
        counts, failed = results(Path(tree, "ctest-checks.xml"))
        line = f"{counts['tests']} ran, {counts['failures']} failed: {', '.join(n for n, _ in failed) or 'none'}"
    return "the checks", line, problems, seconds


def main(args):
    own_only = "--own" in args
    own_arch = args[args.index("--own-arch") + 1] if "--own-arch" in args else None
    tree = args[args.index("--checks") + 1] if "--checks" in args else None
    while args[:1] in (["--own"], ["--own-arch"], ["--checks"]):
        args = args[1:] if args[0] == "--own" else args[2:]
    LOGS.mkdir(parents=True, exist_ok=True)
    plan = wines.chosen(own_only, own_arch)
    jobs = int(os.environ.get("PELMAR_JOBS") or os.cpu_count() or 1)
    lines, failed = {}, False
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool, \
            concurrent.futures.ThreadPoolExecutor(1) as beside:
        futures = [beside.submit(checks, tree)] if tree else []
        for wine in plan:
            if wine["arch"] is None:
                lines[wine["name"]] = f"skipped: {wine['why']}"
                continue
            print(f"== {wine['name']} runs the {wine['arch']} build ({wine['why']}); log {LOGS / wine['name']}.log", flush=True)
            futures.append(pool.submit(suite, wine, args))
        times = []
        for future in concurrent.futures.as_completed(futures):
            name, line, problems, seconds = future.result()
            print("\n".join(problems) + "\n" if problems else "", end="", flush=True)
            print(f"== {name} ended in {seconds:.0f} s: {line}", flush=True)
            lines[name], failed, times = line, failed or bool(problems), times + [f"{name} {seconds:.0f} s"]
    print("Times side by side: " + "; ".join(times) + ".")
    for wine in plan:
        print(f"Windows tests under {wine['name']}: {lines[wine['name']]}.")
    if tree:
        print(f"The checks: {lines['the checks']}.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
