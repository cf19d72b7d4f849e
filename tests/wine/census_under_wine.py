#!/usr/bin/env python3
"""tavorin-census.exe under Wine against the Linux tavorin-census: the same census folder,
byte for byte, from a whole run and from shards run one at a time into a folder the Linux
tool started; the same report and list on standard output; the same refusals."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"


def folder(path):
    return {n: open(os.path.join(path, n), "rb").read()
            for n in sorted(os.listdir(path)) if not n.endswith(".lock")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux", required=True)
    parser.add_argument("--windows", required=True)
    parser.add_argument("--prefix", required=True, help="the template Wine prefix")
    args = parser.parse_args()
    if not os.path.exists(args.windows):
        print(f"no {args.windows}: build the windows preset first", file=sys.stderr)
        return 0 if not os.environ.get("TAVORIN_REQUIRE_WINDOWS") else 1
    work = tempfile.mkdtemp(prefix="tavorin-wine-census-")
    prefix = os.path.join(work, "prefix")
    subprocess.run(["cp", "-a", args.prefix, prefix], check=True)
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)
    server = subprocess.Popen([WINESERVER, "-p", "-f"], env=env)
    # The first program in a prefix starts Wine's own services, which inherit its output and
    # keep it open: they get nothing to hold.
    subprocess.run([WINE, args.windows, "--version"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=120)
    census = ["run", "--from", "1700000300", "--count", "17", "--step", "3", "--shard-size", "6"]
    failures = []

    def both(case, windows_dir=None):
        """Status and output of the Linux tool and of the .exe, each in its own folder."""
        linux = subprocess.run([args.linux] + case(os.path.join(work, "linux")),
                               capture_output=True, timeout=300)
        windows = subprocess.run([WINE, args.windows] + case(
            "Z:" + (windows_dir or os.path.join(work, "windows"))), capture_output=True,
            env=env, timeout=300, stdin=subprocess.DEVNULL)
        return (linux.returncode, linux.stdout), (windows.returncode, windows.stdout)

    try:
        linux, windows = both(lambda d: census + ["--dir", d, "--threads", "2"])
        if linux[0] != 0 or windows[0] != 0:
            failures.append(f"a whole run: linux {linux}, windows {windows}")
        if folder(os.path.join(work, "linux")) != folder(os.path.join(work, "windows")):
            failures.append("the whole run's folders differ")
        for name, case in (("report", lambda d: ["report", d]),
                           ("report --json", lambda d: ["report", d, "--json"]),
                           ("list --json", lambda d: ["list", d, "--json"]),
                           ("another census", lambda d: census[:-2] + ["--shard-size", "5",
                                                                       "--dir", d])):
            linux, windows = both(case)
            if linux != windows:
                failures.append(f"{name}: linux {linux}, windows {windows}")
        # Shards one at a time, as array tasks would, into a folder the Linux tool began.
        shared = os.path.join(work, "shared")
        subprocess.run([args.linux] + census + ["--dir", shared, "--shard", "1"], check=True)
        for shard in ("0", "2"):
            done = subprocess.run([WINE, args.windows] + census + ["--dir", "Z:" + shared,
                                                                  "--shard", shard],
                                  env=env, capture_output=True, timeout=300,
                                  stdin=subprocess.DEVNULL)
            if done.returncode != 0:
                failures.append(f"--shard {shard} under Wine: {done.returncode} {done.stderr!r}")
        if folder(shared) != folder(os.path.join(work, "linux")):
            failures.append("shards run apart on both systems differ from a whole run")
    finally:
        subprocess.run([WINESERVER, "-k"], env=env)
        server.wait()
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL", failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
