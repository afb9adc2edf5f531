"""Wines' roots: made with mmdebstrap in the cache folder, entered with bwrap like every
suite. `roots.py NAME -- COMMAND` runs COMMAND where the plan's Wine NAME is."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from wines import BUILD, ROOT, SCRIPTS, fail, limit, read_plan

# A try of mmdebstrap "$@" into "$0". A suite caught mid-sync is most often -security or
# -updates: the last try (retry.sh numbers them) takes the release's main suite alone, which
# holds the same Wine.
TRY = """rm -rf "$0"
if [ "$PELMAR_TRY" = 3 ]; then exec mmdebstrap "$@" "$0" "$PELMAR_MAIN_ONLY"; fi
exec mmdebstrap "$@" "$0"
"""


def make_root(wine):
    """Made once, and again when its package list changes (the stamp inside)."""
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
    new = Path(f"{where}.new")
    # The mirror serves unstable's index past its validity date.
    options = ["--variant=apt", f"--architectures={archs}", f"--include={','.join(packages)}"]
    options += ['--aptopt=Acquire::Retries "3"', '--aptopt=Acquire::Check-Valid-Until "false"']
    options += [f"--dpkgopt=path-exclude=/usr/share/{d}/*" for d in ("doc", "man", "locale")]
    tries = ["bash", str(SCRIPTS / "retry.sh"), "3", step, str(limit("ROOT"))]
    tries += ["sh", "-c", TRY, str(new), *options, wine["release"]]
    main_only = f"deb http://deb.debian.org/debian {wine['release']} main"
    env = dict(os.environ, PELMAR_MAIN_ONLY=main_only)
    try:
        made = subprocess.run(tries, env=env, timeout=3 * limit("ROOT") + 60).returncode == 0
    except subprocess.TimeoutExpired:
        made = False
    if not made:
        shutil.rmtree(new, ignore_errors=True)
        fail(
            step,
            "mmdebstrap failed 3 times (its last words above); if they speak of sizes, hashes or"
            " a mirror sync, wait for the mirror, or leave this Wine out with PELMAR_WINES",
        )
    (new / ".pelmar-root").write_text(stamp + "\n")
    shutil.rmtree(where, ignore_errors=True)
    new.rename(where)
    return where


def where(wine, command):
    """COMMAND in a process namespace of its own, so that nothing it started outlives it:
    in the Wine's root (the sources, the build folder and the X sockets at their own paths)
    or on this system."""
    alone = ["--unshare-pid", "--die-with-parent"]
    if wine["own"]:
        return ["bwrap", "--dev-bind", "/", "/", "--proc", "/proc", *alone, "--", *command]
    binds = []
    for folder in {ROOT, BUILD.resolve(), Path("/tmp/.X11-unix")}:
        if folder.is_dir():
            binds += ["--bind", str(folder), str(folder)]
    entry = ["bwrap", "--bind", str(make_root(wine)), "/", "--proc", "/proc", "--dev", "/dev"]
    entry += ["--perms", "1777", "--tmpfs", "/tmp", *binds, *alone, "--unsetenv", "TMPDIR"]
    entry += ["--setenv", "PELMAR_IN_ROOT", "1", "--chdir", str(ROOT), "--", *command]
    return entry


def main(argv):
    wine = next((w for w in read_plan() if w["name"] == argv[0]), None)
    if wine is None:
        fail(f"running {argv[0]}", "the plan holds no such Wine")
    if wine["arch"] is None:
        fail(f"running {wine['name']}", wine["why"])
    os.environ.update(PELMAR_ARCH=wine["arch"])
    os.execvp("bwrap", where(wine, argv[argv.index("--") + 1 :]))


if __name__ == "__main__":
    main(sys.argv[1:])
