"""Wines' roots: made with mmdebstrap in the cache folder, entered with bwrap like every suite."""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

from wines import BUILD, ROOT, chosen, fail


def make_root(wine):
    """Made once, and again when its package list changes (the stamp inside); three tries."""
    packages = wine["packages"][wine["arch"]]
    archs = "amd64,i386" if any(p.endswith(":i386") for p in packages) else "amd64"
    stamp = f"{wine['release']} {archs} {' '.join(packages)}"
    where = Path(os.environ.get("XDG_CACHE_HOME") or Path.home() / ".cache") / "pelmar" / f"wine-root-{wine['name']}-{wine['arch']}"
    if (where / ".pelmar-root").is_file() and (where / ".pelmar-root").read_text().strip() == stamp:
        return where
    step = f"making the Debian {wine['release']} root for {wine['name']}"
    for tool in ("mmdebstrap", "bwrap"):
        shutil.which(tool) or fail(step, f"{tool} is not installed (bash scripts/test.sh installs it)")
    print(f"Making a Debian {wine['release']} root for {wine['name']} in {where}", file=sys.stderr)
    where.parent.mkdir(parents=True, exist_ok=True)
    new, log, pause = Path(f"{where}.new"), Path(f"{where}.log"), float(os.environ.get("PELMAR_APT_PAUSE", "5"))
    for attempt in (1, 2, 3):
        shutil.rmtree(new, ignore_errors=True)
        # A suite caught mid-sync is most often -security or -updates: the last try takes
        # the release's main suite alone, which holds the same Wine. The mirror serves
        # unstable's index past its validity date.
        command = ["mmdebstrap", "--variant=apt", f"--architectures={archs}", f"--include={','.join(packages)}",
                   '--aptopt=Acquire::Retries "3"', '--aptopt=Acquire::Check-Valid-Until "false"',
                   *[f"--dpkgopt=path-exclude=/usr/share/{d}/*" for d in ("doc", "man", "locale")],
                   wine["release"], str(new)] + ([f"deb http://deb.debian.org/debian {wine['release']} main"] if attempt == 3 else [])
        with open(log, "w") as out:
            try:
                made = subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, timeout=600).returncode == 0
            except subprocess.TimeoutExpired:
                break
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
    fail(step, f"mmdebstrap failed or ran out of its 600 s (its last words above, all in {log}); if they "
         "speak of sizes, hashes or a mirror sync, wait for the mirror, or leave this Wine out with PELMAR_WINES")


def where(wine, command):
    """COMMAND in a process namespace of its own, so that nothing it started outlives it:
    in the Wine's root (the sources, the build folder and the X sockets at their own paths)
    or on this system."""
    if wine["own"]:
        return ["bwrap", "--dev-bind", "/", "/", "--proc", "/proc", "--unshare-pid", "--die-with-parent", "--", *command]
    binds = [p for d in {ROOT, BUILD.resolve(), Path("/tmp/.X11-unix")} if d.is_dir() for p in ("--bind", str(d), str(d))]
    return ["bwrap", "--bind", str(make_root(wine)), "/", "--proc", "/proc", "--dev", "/dev", "--perms", "1777",
            "--tmpfs", "/tmp", *binds, "--unshare-pid", "--die-with-parent", "--unsetenv", "TMPDIR",
            "--setenv", "PELMAR_IN_ROOT", "1", "--chdir", str(ROOT), "--", *command]


def main(argv):
    """roots.py NAME -- COMMAND: runs COMMAND where NAME's Wine is, PELMAR_ARCH its build."""
    os.environ["PELMAR_WINES"] = argv[0]
    wine = chosen()[0]
    if wine["arch"] is None:
        fail(f"running {wine['name']}", wine["why"])
    os.environ.update(PELMAR_ARCH=wine["arch"], PELMAR_WINE_NAME=wine["name"])
    os.execvp("bwrap", where(wine, argv[argv.index("--") + 1:]))


if __name__ == "__main__":
    main(sys.argv[1:])
