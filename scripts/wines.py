#!/usr/bin/env python3
"""The Wines of scripts/wines.txt: which of them run here and with which build, their roots,
and their Windows test suites side by side, each on a display, in prefixes and with a log of
its own.

    wines.py plan [--own]     a line a chosen Wine: its name, the build it runs (- where it is
                              skipped), "own" (this system's Wine) or "root", and why
    wines.py root NAME        makes NAME's root where missing or out of date; prints its path
    wines.py suites [--own] [--beside SCRIPT] [CTEST ARGS]
                              runs the chosen Wines' suites (scripts/wine-suite.sh) side by
                              side, and SCRIPT beside them; prints a closing line a Wine

The chosen Wines are those PELMAR_WINES names; without it, every Wine of the table, or with
--own this system's alone (dev-test.sh).

Python, not shell: this is the harness's one piece of real control flow (retries, several
suites at once with a log each, results read back). Settings: scripts/README.md.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

SCRIPTS = Path(__file__).resolve().parent
ROOT = SCRIPTS.parent
BUILD = Path(os.environ.get("PELMAR_BUILD", ROOT / "build"))
SETUP_FAILED = 3  # wine-suite.sh's status when no test ran: its set-up failed


class Wine:
    def __init__(self, name, release, i686, x86_64):
        self.name, self.release = name, release
        self.packages = {"i686": i686, "x86_64": x86_64}


def fail(step, why):
    print(f"FAILED: {step}: {why}", file=sys.stderr, flush=True)
    sys.exit(1)


def read_table():
    wines = []
    for line in (SCRIPTS / "wines.txt").read_text().splitlines():
        fields = line.split()
        if not fields or fields[0].startswith("#"):
            continue
        if len(fields) != 4:
            fail("reading scripts/wines.txt", f"this line has not four fields: {line}")
        name, release, *builds = fields
        wines.append(Wine(name, release, *[None if b == "-" else b.split(",") for b in builds]))
    return wines


def codename():
    for line in Path("/etc/os-release").read_text().splitlines():
        if line.startswith("VERSION_CODENAME="):
            return line.split("=", 1)[1].strip('"')
    return ""


def this_systems(wine):
    return wine.release == codename()


def chosen(wines, own_only):
    """PELMAR_WINES by name; else all (the test command), or this system's (dev-test.sh)."""
    names = os.environ.get("PELMAR_WINES", "").replace(",", " ").split()
    if not names:
        if not own_only:
            return wines
        own = [w for w in wines if this_systems(w)]
        if not own:
            fail("choosing the Wines", f"this system ({codename() or 'unknown'}) has none in "
                 "scripts/wines.txt: name one with PELMAR_WINES")
        return own
    known = {w.name: w for w in wines}
    for name in names:
        if name not in known:
            fail("choosing the Wines", f"PELMAR_WINES names '{name}'; scripts/wines.txt has "
                 + ", ".join(known))
    return [known[n] for n in names]


def plan(wine):
    """(build, why): the build this Wine runs here, or None and why it is skipped."""
    arch = os.environ.get("PELMAR_ARCH", "i686")
    if this_systems(wine):
        return arch, "this system's Wine"
    if os.environ.get("PELMAR_ARCH_FORCED") == "1":
        if wine.packages[arch]:
            return arch, f"PELMAR_ARCH={arch} asked for it"
        return None, f"PELMAR_ARCH={arch} asks for a build this Wine does not run"
    if os.environ.get("PELMAR_RUNS_I386") == "1" and wine.packages["i686"]:
        return "i686", "this machine runs 32-bit x86 code"
    if wine.packages["x86_64"]:
        return "x86_64", "this machine runs no 32-bit x86 code: the x86_64 twin"
    return None, ("this machine runs no 32-bit x86 code, and this Wine runs only the 32-bit "
                  "build (its WoW64 mode too needs the processor's 32-bit mode, which this "
                  "kernel refuses)")


def root_dir(wine, arch):
    cache = Path(os.environ.get("XDG_CACHE_HOME") or Path.home() / ".cache")
    return cache / "pelmar" / f"wine-root-{wine.name}-{arch}"


def make_root(wine, arch, say):
    """Makes the root once; again when its package list changes (kept in a stamp inside)."""
    packages = wine.packages[arch]
    archs = "amd64,i386" if any(p.endswith(":i386") for p in packages) else "amd64"
    stamp = f"{wine.release} {archs} {' '.join(packages)}"
    where = root_dir(wine, arch)
    if (where / ".pelmar-root").is_file() and (where / ".pelmar-root").read_text().strip() == stamp:
        return where
    step = f"making the Debian {wine.release} root for {wine.name}"
    for tool in ("mmdebstrap", "bwrap"):
        if not shutil.which(tool):
            fail(step, f"{tool} is not installed (bash scripts/test.sh installs it)")
    say(f"Making a Debian {wine.release} root for {wine.name} in {where} ({' '.join(packages)})")
    where.parent.mkdir(parents=True, exist_ok=True)
    new, log = Path(f"{where}.new"), Path(f"{where}.log")
    pause = float(os.environ.get("PELMAR_APT_PAUSE", "5"))
    for attempt in (1, 2, 3):
        shutil.rmtree(new, ignore_errors=True)
        # A suite caught mid-sync is most often -security or -updates: the last try takes
        # the release's main suite alone, which holds the same Wine.
        sources = [f"deb http://deb.debian.org/debian {wine.release} main"] if attempt == 3 else []
        with open(log, "w") as out:
            made = subprocess.run(
                ["mmdebstrap", "--variant=apt", f"--architectures={archs}",
                 f"--include={','.join(packages)}", "--aptopt=Acquire::Retries \"3\"",
                 # The mirror serves unstable's index past its validity date.
                 "--aptopt=Acquire::Check-Valid-Until \"false\"",
                 "--dpkgopt=path-exclude=/usr/share/doc/*", "--dpkgopt=path-exclude=/usr/share/man/*",
                 "--dpkgopt=path-exclude=/usr/share/locale/*",
                 wine.release, str(new), *sources],
                stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL).returncode == 0
        if made:
            (new / ".pelmar-root").write_text(stamp + "\n")
            shutil.rmtree(where, ignore_errors=True)
            new.rename(where)
            return where
        if attempt < 3:
            say(f"mmdebstrap failed for Debian {wine.release} (try {attempt} of 3); again in {pause:g} s.")
            time.sleep(pause)
    shutil.rmtree(new, ignore_errors=True)
    sys.stderr.write("".join(log.read_text().splitlines(True)[-15:]))
    fail(step, f"mmdebstrap failed three times (its words above, all in {log}); if they speak "
         "of sizes, hashes or a mirror sync, wait for the mirror and run again, or leave this "
         "Wine out with PELMAR_WINES")


def counts(junit, passed_again=()):
    """What ctest's JUnit file counts: ran, passed, failed and skipped (disabled included);
    the tests that passed when run again count as passed, and are named."""
    suite = ElementTree.parse(junit).getroot()
    tests, failures, disabled, skipped = (int(suite.get(k, 0)) for k in
                                          ("tests", "failures", "disabled", "skipped"))
    failures -= len(passed_again)
    again = (f" ({len(passed_again)} only when run again, alone: {', '.join(passed_again)})"
             if passed_again else "")
    return (f"{tests - disabled - skipped} ran, {tests - failures - disabled - skipped} passed{again}, "
            f"{failures} failed, {disabled + skipped} skipped")


def failed_cases(junit):
    """(name, ctest's word for the failure, output) of each failed test."""
    for case in ElementTree.parse(junit).getroot().iter("testcase"):
        if case.get("status") == "fail":
            failure = case.find("failure")
            yield (case.get("name"), failure.get("message", "") if failure is not None else "",
                   case.findtext("system-out") or "(no output)")


def worth_running_again(failures):
    """The failed tests to run once more, alone: one to three of them, none timed out. Under
    Wine 10 with three suites at once a test has now and then failed for Wine's sake (a
    window not made, a crash on the way out); a fault of ours fails again, and more than a
    few failures are no chance."""
    names = [name for name, word, _ in failures if word != "Timeout"]
    return names if 0 < len(names) == len(failures) <= 3 else []


class Runner:
    def __init__(self):
        self.lock = threading.Lock()
        self.processes = []
        self.stopping = False
        self.lines, self.times, self.status = [], [], 0

    def say(self, text):
        with self.lock:
            print(text, flush=True)

    def start(self, command, log, env, nice):
        with self.lock:
            if self.stopping:
                return None
            with open(log, "w") as out:
                process = subprocess.Popen(
                    (["nice", "-n", "10"] if nice else []) + command, cwd=ROOT, env=env,
                    stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                    start_new_session=True)
            self.processes.append(process)
            return process

    def stop_all(self):
        with self.lock:
            self.stopping = True
            for process in self.processes:
                if process.poll() is None:
                    os.killpg(process.pid, signal.SIGTERM)

    def job(self, name, command, env, nice=False):
        """Runs one job to its end with a log of its own; returns its status and log."""
        log = BUILD / "logs" / f"{name}.log"
        began = time.monotonic()
        process = self.start(command, log, env, nice)
        if process is None:
            log.write_text("Not started: the run was stopping.\n")
            return SETUP_FAILED, log
        status = process.wait()
        with self.lock:
            self.times.append(f"{name} {time.monotonic() - began:.0f} s")
        if os.environ.get("PELMAR_VERBOSE") == "1" or (status == SETUP_FAILED and not self.stopping):
            self.say(f"---- {name}: all of {log}\n{log.read_text(errors='replace')}---- end of {log}")
        if status == SETUP_FAILED and not self.stopping:
            self.say(f"{name}: its set-up failed (above); stopping everything.")
            self.stop_all()
        return status, log

    def suite(self, wine, arch, slots, ctest_args):
        tree = BUILD if arch == "i686" else BUILD / "x86_64"
        junit, about = tree / f"ctest-{wine.name}.xml", tree / f"ctest-{wine.name}.about"
        for stale in (junit, about):
            stale.unlink(missing_ok=True)
        env = dict(os.environ, PELMAR_WINE_NAME=wine.name, PELMAR_ARCH=arch, PELMAR_WINE_ROOT="")
        if not this_systems(wine):
            env["PELMAR_WINE_ROOT"] = str(make_root(wine, arch, self.say))
        passed_again = []
        with slots:
            status, log = self.job(wine.name, ["bash", str(SCRIPTS / "wine-suite.sh"), *ctest_args], env)
            failures = list(failed_cases(junit)) if junit.is_file() else []
            for test, word, output in failures:
                self.say(f"---- {wine.name}: {test} failed ({word})\n{output}\n---- end of {test}")
            retry = worth_running_again(failures)
            if retry and not self.stopping:
                self.say(f"== {wine.name}: running once more, alone: {', '.join(retry)}")
                again = tree / f"ctest-{wine.name}-again.xml"
                pattern = "^(" + "|".join(re.escape(name) for name in retry) + ")$"
                status, _ = self.job(f"{wine.name}-again", ["bash", str(SCRIPTS / "wine-suite.sh"), "-R", pattern],
                                     dict(env, PELMAR_JUNIT=str(again)))
                passed_again = [] if status else retry
        mode = " in WoW64 mode" if arch == "i686" and not any(
            p.endswith(":i386") for p in wine.packages[arch]) else ""
        where = about.read_text().strip() if about.is_file() else "its Wine never started"
        result = counts(junit, passed_again) if junit.is_file() else "no results"
        self.say(f"== {wine.name} ended: {result} (log {log})")
        with self.lock:
            self.lines.append((wine.name, f"{where}, {arch} build{mode}: {result}"
                               + ("" if junit.is_file() else f" (see {log})")))
            self.status |= status != 0 or not junit.is_file()

    def suites(self, args):
        own_only, beside, args = options(args)
        (BUILD / "logs").mkdir(parents=True, exist_ok=True)
        wines = chosen(read_table(), own_only)
        slots = threading.Semaphore(int(os.environ.get("PELMAR_JOBS") or os.cpu_count() or 1))
        threads = []
        for wine in wines:
            arch, why = plan(wine)
            if arch is None:
                self.lines.append((wine.name, f"skipped: {why}"))
                continue
            self.say(f"== {wine.name} runs the {arch} build ({why}); log {BUILD / 'logs' / wine.name}.log")
            threads.append(threading.Thread(target=self.guarded, args=(self.suite, wine, arch, slots, args)))
        if beside:
            threads.append(threading.Thread(target=self.guarded, args=(self.beside, beside)))
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        print("Times side by side: " + "; ".join(self.times) + ".")
        for name, line in sorted(self.lines, key=lambda item: [w.name for w in wines].index(item[0])):
            print(f"Windows tests under {name}: {line}.")
        return 1 if self.status else 0

    def beside(self, script):
        status, log = self.job("checks", ["bash", script], dict(os.environ), nice=True)
        self.say(f"---- checks (beside the Wines): {log}\n{log.read_text(errors='replace')}---- end of checks")
        with self.lock:
            self.status |= status != 0

    def guarded(self, work, *args):
        """A job's thread: a step that fails there (fail(), or anything unforeseen, which is
        shown) stops every other job."""
        try:
            work(*args)
        except (SystemExit, Exception) as error:
            if not isinstance(error, SystemExit):
                self.say(f"FAILED: {work.__name__}: {error!r}")
            with self.lock:
                self.status = 1
            if not self.stopping:
                self.say("Stopping everything.")
                self.stop_all()


def options(args):
    """--own and --beside SCRIPT, then what goes to ctest."""
    own_only, beside = False, None
    while args[:1] in (["--own"], ["--beside"]):
        if args[0] == "--own":
            own_only, args = True, args[1:]
        else:
            beside, args = args[1], args[2:]
    return own_only, beside, args


def main(argv):
    if argv[:1] == ["plan"]:
        for wine in chosen(read_table(), options(argv[1:])[0]):
            arch, why = plan(wine)
            print(f"{wine.name} {arch or '-'} {'own' if this_systems(wine) else 'root'} {why}")
        return 0
    if argv[:1] == ["root"] and len(argv) == 2:
        wine = {w.name: w for w in read_table()}.get(argv[1]) or fail("finding a Wine", argv[1])
        arch, why = plan(wine)
        if arch is None:
            fail(f"the root of {wine.name}", why)
        print(make_root(wine, arch, lambda text: print(text, file=sys.stderr)))
        return 0
    if argv[:1] == ["suites"]:
        runner = Runner()
        for number in (signal.SIGINT, signal.SIGTERM):
            signal.signal(number, lambda *_: runner.stop_all())
        return runner.suites(argv[1:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
