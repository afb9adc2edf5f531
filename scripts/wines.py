#!/usr/bin/env python3
"""The Wines of scripts/wines.txt: which run here, with which build. For the set-up,
`wines.py needs [--own] [--own-arch ARCH]` prints the build of this system's Wine (- where
it is not chosen), and 1 where a chosen Wine runs the twin (else 0)."""
import os
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


def table():
    wines = []
    for line in (SCRIPTS / "wines.txt").read_text().splitlines():
        fields = line.split()
        if fields and not fields[0].startswith("#"):
            if len(fields) != 4:
                fail("reading scripts/wines.txt", f"this line has not four fields: {line}")
            builds = [None if f == "-" else f.split(",") for f in fields[2:]]
            wines.append({"name": fields[0], "release": fields[1], "packages": dict(zip(("i686", "x86_64"), builds))})
    return wines


def codename():
    lines = Path("/etc/os-release").read_text().splitlines()
    return next((l.split("=", 1)[1].strip('"') for l in lines if l.startswith("VERSION_CODENAME=")), "")


def runs_i386():
    """tools/i386-probe exits with 42 where the kernel runs 32-bit x86 code. An i386 binfmt
    handler (qemu-user) would run it, but not wine32."""
    if any(Path("/proc/sys/fs/binfmt_misc").glob("qemu-i[3-6]86")):
        return False
    try:
        return subprocess.run([ROOT / "tools/i386-probe"], timeout=10).returncode == 42
    except OSError:
        return False


def plan(wine, own_arch, runs32):
    """(build, why): the build this Wine runs here, or None and why it is skipped."""
    forced = os.environ.get("PELMAR_ARCH", "")
    if forced not in ("", "i686", "x86_64") or (forced == "i686" and not runs32):
        fail("choosing the Windows build", f"PELMAR_ARCH={forced} cannot run here (i686 needs "
             "32-bit x86 code; x86_64 runs anywhere)")
    if forced:
        return (forced, f"PELMAR_ARCH={forced} asked for it") if wine["packages"][forced] else (
            None, f"PELMAR_ARCH={forced} asks for a build this Wine does not run")
    if wine["release"] == codename() and own_arch:
        return own_arch, "this system's 32-bit Wine cannot be installed: the x86_64 twin"
    if runs32 and wine["packages"]["i686"]:
        return "i686", "this machine runs 32-bit x86 code"
    if wine["packages"]["x86_64"]:
        return "x86_64", f"{NO32}: the x86_64 twin"
    return None, f"{NO32}, and this Wine runs only the 32-bit build (its WoW64 mode too needs it)"


def chosen(own_only=False, own_arch=None):
    """The Wines PELMAR_WINES names, else all, or this system's alone; with their builds."""
    wines, runs32, names = table(), runs_i386(), os.environ.get("PELMAR_WINES", "").replace(",", " ").split()
    known = {w["name"]: w for w in wines}
    for name in names:
        if name not in known:
            fail("choosing the Wines", f"PELMAR_WINES names '{name}'; scripts/wines.txt has " + ", ".join(known))
    picked = [known[n] for n in names] or [w for w in wines if not own_only or w["release"] == codename()]
    if not picked:
        fail("choosing the Wines", f"this system ({codename()}) has none in scripts/wines.txt: name one with PELMAR_WINES")
    for wine in picked:
        wine["arch"], wine["why"] = plan(wine, own_arch, runs32)
        wine["own"] = wine["release"] == codename()
        packages = wine["packages"][wine["arch"]] if wine["arch"] else []
        wine["wow64"] = wine["arch"] == "i686" and not any(p.endswith(":i386") for p in packages)
    return picked


def main(argv):
    own_arch = argv[argv.index("--own-arch") + 1] if "--own-arch" in argv else None
    if argv[:1] == ["needs"]:
        running = [w for w in chosen("--own" in argv, own_arch) if w["arch"]]
        print(next((w["arch"] for w in running if w["own"]), "-"), int(any(w["arch"] == "x86_64" for w in running)))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
