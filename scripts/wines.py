#!/usr/bin/env python3
"""The plan: which Wines of scripts/wines.txt run here, with which build, and what the
set-up installs for them, decided once. `wines.py plan RELEASE [--own] [--installed]
[--own-arch ARCH] [--demo]` prints it as shell assignments; PELMAR_PLAN, one of them, holds it as
JSON for suites.py and roots.py. Also the harness's time limits (tests/time-limits.env)."""

import argparse
import json
import os
import shlex
import subprocess
import sys
from pathlib import Path

SCRIPTS = Path(__file__).resolve().parent
ROOT = SCRIPTS.parent
BUILD = Path(os.environ.get("PELMAR_BUILD") or ROOT / "build")
NO32 = "this machine runs no 32-bit x86 code"


def fail(step, why):
    print(f"FAILED: {step}: {why}", file=sys.stderr, flush=True)
    sys.exit(1)


def limit(key):
    """A limit of tests/time-limits.env; PELMAR_SUITE_TIMEOUT overrides SUITE."""
    if key == "SUITE" and os.environ.get("PELMAR_SUITE_TIMEOUT"):
        return int(os.environ["PELMAR_SUITE_TIMEOUT"])
    for line in (ROOT / "tests/time-limits.env").read_text().splitlines():
        if line.startswith(f"{key}="):
            return int(line.split("=", 1)[1])
    return fail("reading tests/time-limits.env", f"it has no {key}")


def table():
    wines = []
    for line in (SCRIPTS / "wines.txt").read_text().splitlines():
        fields = line.split()
        if not fields or fields[0].startswith("#"):
            continue
        if len(fields) != 4:
            fail("reading scripts/wines.txt", f"this line has not four fields: {line}")
        builds = [None if f == "-" else f.split(",") for f in fields[2:]]
        packages = dict(zip(("i686", "x86_64"), builds))
        wines.append({"name": fields[0], "release": fields[1], "packages": packages})
    return wines


def runs_i386():
    """tools/i386-probe exits with 42 where the kernel runs 32-bit x86 code. An i386 binfmt
    handler (qemu-user) would run it, but not wine32."""
    if any(Path("/proc/sys/fs/binfmt_misc").glob("qemu-i[3-6]86")):
        return False
    try:
        probe = subprocess.run([ROOT / "tools/i386-probe"], timeout=limit("PROBE"))
    except OSError:
        return False
    except subprocess.TimeoutExpired:
        fail("running tools/i386-probe", f"it did not end within {limit('PROBE')} s")
    return probe.returncode == 42


def installed(packages):
    query = ["dpkg-query", "-W", "-f=${Status}\n", *packages]
    try:
        said = subprocess.run(query, capture_output=True, text=True, timeout=limit("APT_STEP"))
    except OSError:
        return False  # no dpkg: nothing is installed the Debian way
    except subprocess.TimeoutExpired:
        fail("asking dpkg what is installed", f"it did not end within {limit('APT_STEP')} s")
    return said.stdout.count("install ok installed") == len(packages)


def build(wine, runs32, own_arch):
    """(build, why): the build this Wine runs here, or None and why it is skipped."""
    forced = os.environ.get("PELMAR_ARCH", "")
    if forced not in ("", "i686", "x86_64") or (forced == "i686" and not runs32):
        fail(
            "choosing the Windows build",
            f"PELMAR_ARCH={forced} cannot run here"
            " (i686 needs 32-bit x86 code; x86_64 runs anywhere)",
        )
    if wine["own"] and own_arch:
        return own_arch, own_arch_why(forced)
    if forced and wine["packages"][forced]:
        return forced, f"PELMAR_ARCH={forced} asked for it"
    if forced:
        return None, f"PELMAR_ARCH={forced} asks for a build this Wine does not run"
    if runs32 and wine["packages"]["i686"]:
        return "i686", "this machine runs 32-bit x86 code"
    if wine["packages"]["x86_64"]:
        return "x86_64", f"{NO32}: the x86_64 twin"
    return None, f"{NO32}, and this Wine runs only the 32-bit build (its WoW64 mode too needs it)"


def own_arch_why(forced):
    if forced == "i686":
        fail(
            "choosing the Windows build",
            "PELMAR_ARCH=i686 asks for the 32-bit Windows programs, but this system's"
            " 32-bit Wine (wine32:i386) cannot be had: bash scripts/test.sh installs it,"
            " or use PELMAR_ARCH=x86_64, which needs no i386 package",
        )
    return "this machine runs 32-bit code, but its 32-bit Wine cannot be had: the x86_64 twin"


def plan(release, own_only=False, installed_only=False, own_arch=None):
    """The Wines PELMAR_WINES names, else all, or this system's alone; with their builds.
    installed_only: where this system's wine32 is not installed, its Wine runs the twin."""
    wines, runs32 = table(), runs_i386()
    names = os.environ.get("PELMAR_WINES", "").replace(",", " ").split()
    known = {w["name"]: w for w in wines}
    for name in names:
        if name not in known:
            fail(
                "choosing the Wines",
                f"PELMAR_WINES names '{name}'; wines.txt has {', '.join(known)}",
            )
    picked = [known[n] for n in names]
    picked = picked or [w for w in wines if not own_only or w["release"] == release]
    if not picked:
        fail(
            "choosing the Wines",
            f"this system ({release}) has none in scripts/wines.txt: name one with PELMAR_WINES",
        )
    for wine in picked:
        wine["own"] = wine["release"] == release
        wine["arch"], wine["why"] = build(wine, runs32, own_arch)
        packages = wine["packages"][wine["arch"]] if wine["arch"] else []
        if wine["own"] and installed_only and wine["arch"] == "i686" and not installed(packages):
            wine["arch"], wine["why"] = "x86_64", own_arch_why(os.environ.get("PELMAR_ARCH"))
            packages = wine["packages"]["x86_64"]
        wine["wow64"] = wine["arch"] == "i686" and not any(p.endswith(":i386") for p in packages)
    return picked


def assignments(wines, demo=False):
    """The shell's part: the build of this system's Wine (else of the first that runs), the
    builds to make (players' i686 always, but for the demo, which makes only the one it
    shows), those whose tests run, this system's Wine's packages, and the whole plan."""
    running = [w for w in wines if w["arch"]]
    first = next((w for w in running if w["own"]), running[0] if running else None)
    own = first if first and first["own"] else None
    run_arch = first["arch"] if first else "i686"
    tested = sorted({w["arch"] for w in running})
    return {
        "PELMAR_RUN_ARCH": run_arch,
        "PELMAR_ARCH_REASON": first["why"] if first else "no chosen Wine runs here",
        "PELMAR_BUILDS": run_arch if demo else " ".join(sorted({"i686", *tested})),
        "PELMAR_TEST_BUILDS": "" if demo else " ".join(tested),
        "PELMAR_WINE_PACKAGES": " ".join(own["packages"][own["arch"]]) if own else "",
        "PELMAR_PLAN": json.dumps(wines),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("command", choices=["plan"])
    parser.add_argument("release", help="this system's release (VERSION_CODENAME)")
    parser.add_argument("--own", action="store_true", help="this system's Wine alone")
    parser.add_argument("--installed", action="store_true", help="install nothing")
    parser.add_argument("--own-arch", choices=["x86_64"], help="this system's Wine's build")
    parser.add_argument("--demo", action="store_true", help="the demo's builds, no tests")
    args = parser.parse_args()
    chosen = plan(args.release, args.own, args.installed, args.own_arch)
    for key, value in assignments(chosen, args.demo).items():
        print(f"{key}={shlex.quote(value)}")


def read_plan():
    """The plan the shell handed on (PELMAR_PLAN)."""
    if not os.environ.get("PELMAR_PLAN"):
        fail("reading the plan", "PELMAR_PLAN is not set (scripts/lib/setup.sh: pelmar_plan)")
    return json.loads(os.environ["PELMAR_PLAN"])


if __name__ == "__main__":
    main()
