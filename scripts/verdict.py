"""How a suite's results are judged: ctest's JUnit file read, the quarantine of
scripts/quarantine.txt, and which failed test may run once more (scripts/README.md)."""
import datetime
import re
import xml.etree.ElementTree as ElementTree

import wines

EVIDENCE = "-all,err+all,+seh"  # Wine's channels in a failed test's second run
# gtest's closing line with a test passed; tests/CMakeLists.txt asks for the same.
PASSED = re.compile(r"\[  PASSED  \] [1-9][0-9]* tests?\.")


def results(junit):
    """ctest's JUnit file: its counts, and the failed tests with their output."""
    suite = ElementTree.parse(junit).getroot()
    counts = {k: int(suite.get(k, 0)) for k in ("tests", "failures", "disabled", "skipped")}
    failed = {}
    for case in suite.iter("testcase"):
        if case.get("status") == "fail":
            failed[case.get("name")] = case.findtext("system-out") or "(no output)"
    return counts, failed


def quarantine(wine):
    """{test: why} of this Wine's entries in force; an expired one is said and counts again."""
    kept = {}
    for line in (wines.SCRIPTS / "quarantine.txt").read_text().splitlines():
        if line.strip() and not line.startswith("#") and line.split()[0] == wine:
            _, test, until, why = line.split(None, 3)
            if datetime.date.fromisoformat(until) >= datetime.date.today():
                kept[test] = f"{why} (until {until})"
            else:
                print(
                    f"== {wine}: the quarantine of {test} ended on {until}: it counts again",
                    flush=True,
                )
    return kept


def crashed_on_exit(output):
    """All of its checks passed, then its process failed: gtest's summary says PASSED."""
    return bool(PASSED.search(output)) and "[  FAILED  ]" not in output
