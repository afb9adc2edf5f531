#!/usr/bin/env python3
"""The one start of a virtual display: an Xvfb that picks a free number itself (-displayfd)
and says it once it listens. Run alone it prints ":N" and lives as long as its Xvfb."""

import concurrent.futures as futures
import os
import signal
import subprocess
import sys
import tempfile

import wines


def start():
    """(the Xvfb, ":N"); fails where it gives no number within its time limit."""
    seconds = wines.limit("XVFB")
    read, write = os.pipe()
    words = tempfile.TemporaryFile()
    command = ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"]
    try:
        xvfb = subprocess.Popen(
            command, pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=words, stderr=words
        )
    except OSError as error:
        wines.fail("starting the virtual display", f"{error} (Debian package: xvfb)")
    os.close(write)
    with os.fdopen(read) as said, futures.ThreadPoolExecutor(1) as reader:
        try:
            number = reader.submit(said.readline).result(timeout=seconds).strip()
        except futures.TimeoutError:
            number = ""
        if not number:
            xvfb.kill()  # which ends the read
            xvfb.wait()
            words.seek(0)
            sys.stderr.write(words.read().decode(errors="replace")[-2000:])
            wines.fail(
                "starting the virtual display",
                f"Xvfb gave no display number within {seconds} s (its words above)",
            )
    return xvfb, f":{number}"


def main():
    xvfb, number = start()
    signal.signal(signal.SIGTERM, lambda *_: xvfb.kill())
    print(number, flush=True)
    xvfb.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
