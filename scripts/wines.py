#!/usr/bin/env python3
"""The Wines of scripts/wines.txt: which run here and with which build, and their roots.

    wines.py plan [--own] [--own-arch ARCH]   the chosen Wines as JSON, one object a Wine
    wines.py needs [--own] [--own-arch ARCH]  this system's Wine's build (or -), and 1 where
                                              a chosen Wine runs the x86_64 twin (else 0)
    wines.py root NAME                        makes NAME's root where missing or stale; prints it
    wines.py run NAME -- COMMAND...           runs COMMAND where NAME's Wine is (its root, or
                                              this system), with PELMAR_ARCH set to its build

The chosen Wines are those PELMAR_WINES names; without it every Wine of the table, or with
--own this system's alone. PELMAR_ARCH, given by the developer, forces one build on every
Wine; --own-arch gives this system's Wine the twin where its wine32 could not be installed.
Settings: scripts/README.md.
"""
import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

SCRIPTS = Path(__file__).resolve().parent
ROOT = SCRIPTS.parent
BUILD = Path(os.environ.get("PELMAR_BUILD") or ROOT / "build")


def fail(step, why):
    print(f"FAILED: {step}: {why}", file=sys.stderr, flush=True)
    sys.exit(1)


def table():
    wines = []
    for line in (SCRIPTS / "wines.txt").read_text().splitlines():
        fields = line.split()
        if not fields or fields[0].startswith("#"):
            continue
        if len(fields) != 4:
            fail("reading scripts/wines.txt", f"this line has not four fields: {line}")
        name, release, i686, x86_64 = fields
        wines.append({"name": name, "release": release, "packages": {
            "i686": None if i686 == "-" else i686.split(","),
            "x86_64": None if x86_64 == "-" else x86_64.split(",")}})
    return wines


def codename():
    for line in Path("/etc/os-release").read_text().splitlines():
        if line.startswith("VERSION_CODENAME="):
            return line.split("=", 1)[1].strip('"')
    return ""


def runs_i386():
    """True where this kernel runs 32-bit x86 code: tools/i386-probe exits with 42 there.
    An i386 binfmt handler (qemu-user) would run the probe but not wine32."""
    if any(Path("/proc/sys/fs/binfmt_misc").glob("qemu-i[3-6]86")):
        return False
    try:
        return subprocess.run([str(ROOT / "tools/i386-probe")], timeout=10).returncode == 42
    except OSError:
        return False


def plan(wine, own_arch, runs32):
    """(build, why): the build this Wine runs here, or None and why it is skipped."""
    forced = os.environ.get("PELMAR_ARCH", "")
    if forced not in ("", "i686", "x86_64"):
        fail("choosing the Windows build", f"PELMAR_ARCH must be i686 or x86_64, not '{forced}'")
    if forced == "i686" and not runs32:
        fail("choosing the Windows build", "PELMAR_ARCH=i686 asks for the 32-bit build, but this "
             "machine runs no 32-bit x86 code (a tiny i386 program was refused); use x86_64")
    if forced:
        if wine["packages"][forced]:
            return forced, f"PELMAR_ARCH={forced} asked for it"
        return None, f"PELMAR_ARCH={forced} asks for a build this Wine does not run"
    if wine["release"] == codename() and own_arch:
        return own_arch, "this system's 32-bit Wine cannot be installed: the x86_64 twin"
    if runs32 and wine["packages"]["i686"]:
        return "i686", "this machine runs 32-bit x86 code"
    if wine["packages"]["x86_64"]:
        return "x86_64", "this machine runs no 32-bit x86 code: the x86_64 twin"
    return None, ("this machine runs no 32-bit x86 code, and this Wine runs only the 32-bit "
                  "build (its WoW64 mode too needs the processor's 32-bit mode)")


def chosen(own_only=False, own_arch=None):
    """The plan: each chosen Wine with its build (None: skipped), why, and where it lives."""
    wines, runs32 = table(), runs_i386()
    names = os.environ.get("PELMAR_WINES", "").replace(",", " ").split()
    known = {w["name"]: w for w in wines}
    for name in names:
        if name not in known:
            fail("choosing the Wines", f"PELMAR_WINES names '{name}'; scripts/wines.txt has "
                 + ", ".join(known))
    picked = [known[n] for n in names] or [
        w for w in wines if not own_only or w["release"] == codename()]
    if not picked:
        fail("choosing the Wines", f"this system ({codename() or 'unknown'}) has none in "
             "scripts/wines.txt: name one with PELMAR_WINES")
    for wine in picked:
        wine["arch"], wine["why"] = plan(wine, own_arch, runs32)
        wine["own"] = wine["release"] == codename()
        packages = wine["packages"][wine["arch"]] if wine["arch"] else []
        wine["wow64"] = wine["arch"] == "i686" and not any(p.endswith(":i386") for p in packages)
    return picked


def make_root(wine):
    """Makes the root once, and again when its package list changes (a stamp inside)."""
    packages = wine["packages"][wine["arch"]]
    archs = "amd64,i386" if any(p.endswith(":i386") for p in packages) else "amd64"
    stamp = f"{wine['release']} {archs} {' '.join(packages)}"
    cache = Path(os.environ.get("XDG_CACHE_HOME") or Path.home() / ".cache")
    where = cache / "pelmar" / f"wine-root-{wine['name']}-{wine['arch']}"
    if (where / ".pelmar-root").is_file() and (where / ".pelmar-root").read_text().strip() == stamp:
        return where
    step = f"making the Debian {wine['release']} root for {wine['name']}"
    for tool in ("mmdebstrap", "bwrap"):
        if not shutil.which(tool):
            fail(step, f"{tool} is not installed (bash scripts/test.sh installs it)")
    print(f"Making a Debian {wine['release']} root for {wine['name']} in {where}", file=sys.stderr)
    where.parent.mkdir(parents=True, exist_ok=True)
    new, log = Path(f"{where}.new"), Path(f"{where}.log")
    pause, limit = float(os.environ.get("PELMAR_APT_PAUSE", "5")), 600
    for attempt in (1, 2, 3):
        shutil.rmtree(new, ignore_errors=True)
        # A suite caught mid-sync is most often -security or -updates: the last try takes
        # the release's main suite alone, which holds the same Wine.
        sources = [f"deb http://deb.debian.org/debian {wine['release']} main"] if attempt == 3 else []
        command = ["mmdebstrap", "--variant=apt", f"--architectures={archs}",
                   f"--include={','.join(packages)}", "--aptopt=Acquire::Retries \"3\"",
                   # The mirror serves unstable's index past its validity date.
                   "--aptopt=Acquire::Check-Valid-Until \"false\"",
                   "--dpkgopt=path-exclude=/usr/share/doc/*", "--dpkgopt=path-exclude=/usr/share/man/*",
                   "--dpkgopt=path-exclude=/usr/share/locale/*", wine["release"], str(new), *sources]
        with open(log, "w") as out:
            try:
                made = subprocess.run(command, stdout=out, stderr=subprocess.STDOUT,
                                      stdin=subprocess.DEVNULL, timeout=limit).returncode == 0
            except subprocess.TimeoutExpired:
                shutil.rmtree(new, ignore_errors=True)
                sys.stderr.write("".join(log.read_text().splitlines(True)[-15:]))
                fail(step, f"mmdebstrap did not end within {limit} s (its last words above)")
        if made:
            (new / ".pelmar-root").write_text(stamp + "\n")
            shutil.rmtree(where, ignore_errors=True)
            new.rename(where)
            return where
        if attempt < 3:
            print(f"mmdebstrap failed (try {attempt} of 3); again in {pause:g} s.", file=sys.stderr)
            time.sleep(pause)
    shutil.rmtree(new, ignore_errors=True)
    sys.stderr.write("".join(log.read_text().splitlines(True)[-15:]))
    fail(step, f"mmdebstrap failed three times (its words above, all in {log}); if they speak "
         "of sizes, hashes or a mirror sync, wait for the mirror and run again, or leave this "
         "Wine out with PELMAR_WINES")


def where(wine, command):
    """COMMAND as it runs for this Wine: in a process namespace of its own, so that nothing
    it started outlives it; in the Wine's root, with the sources, the build folder and the X
    sockets at their own paths, or on this system."""
    if wine["own"]:
        return ["bwrap", "--dev-bind", "/", "/", "--proc", "/proc", "--unshare-pid",
                "--die-with-parent", "--", *command]
    binds = ["--bind", str(ROOT), str(ROOT)]
    if not BUILD.resolve().is_relative_to(ROOT):
        binds += ["--bind", str(BUILD), str(BUILD)]
    if Path("/tmp/.X11-unix").is_dir():
        binds += ["--bind", "/tmp/.X11-unix", "/tmp/.X11-unix"]
    return ["bwrap", "--bind", str(make_root(wine)), "/", "--proc", "/proc", "--dev", "/dev",
            "--perms", "1777", "--tmpfs", "/tmp", *binds, "--unshare-pid", "--die-with-parent",
            "--unsetenv", "TMPDIR", "--setenv", "PELMAR_IN_ROOT", "1", "--chdir", str(ROOT),
            "--", *command]


def main(argv):
    own_arch = argv[argv.index("--own-arch") + 1] if "--own-arch" in argv else None
    if argv[:1] == ["plan"]:
        print(json.dumps(chosen("--own" in argv, own_arch)))
        return 0
    if argv[:1] == ["needs"]:
        # For the set-up: the build of this system's Wine (- where none is chosen), and
        # 1 where any chosen Wine runs the twin.
        plan = [w for w in chosen("--own" in argv, own_arch) if w["arch"]]
        print(next((w["arch"] for w in plan if w["own"]), "-"), int(any(w["arch"] == "x86_64" for w in plan)))
        return 0
    if len(argv) >= 2 and argv[0] in ("root", "run"):
        os.environ["PELMAR_WINES"] = argv[1]
        wine = chosen(own_arch=own_arch)[0]
        if wine["arch"] is None:
            fail(f"running {wine['name']}", wine["why"])
        if argv[0] == "root":
            print(make_root(wine) if not wine["own"] else "/")
            return 0
        command = argv[argv.index("--") + 1:] if "--" in argv else []
        os.environ.update(PELMAR_ARCH=wine["arch"], PELMAR_WINE_NAME=wine["name"])
        os.execvp("bwrap", where(wine, command))
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
