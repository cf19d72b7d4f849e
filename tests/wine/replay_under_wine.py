#!/usr/bin/env python3
"""tavorin-replay.exe under Wine against the Linux tavorin-replay: the same arguments must
give the same bytes on standard output, the same mesh dump and the same exit status."""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
NAMES = ["S", "F2", "N", "C", "D", "T", "C", "C", "D", "Alt+S", "0x41", "Alt+C"]


def random_case(rnd):
    keys = ["S"] + [rnd.choice(NAMES) for _ in range(rnd.randint(0, 50))]
    if rnd.random() < 0.3:
        keys.append(rnd.choice(["Esc", "Q"]))
    clock = rnd.choice([0, 1, 2**31 - 1, 2**32 - 1, rnd.randrange(2**32), 1700000000])
    return ["--time", str(clock)] + (["--text"] if rnd.random() < 0.3 else []) + keys


def run(command, env=None):
    done = subprocess.run(command, capture_output=True, env=env, timeout=120)
    return done.returncode, done.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux", required=True)
    parser.add_argument("--windows", required=True)
    parser.add_argument("--prefix", required=True, help="the template Wine prefix")
    parser.add_argument("--cases", type=int, default=40)
    parser.add_argument("--seed", type=int, default=None)
    args = parser.parse_args()
    if not os.path.exists(args.windows):
        print(f"no {args.windows}: build the windows preset first", file=sys.stderr)
        return 0 if not os.environ.get("TAVORIN_REQUIRE_WINDOWS") else 1
    seed = args.seed if args.seed is not None else random.randrange(2**31)
    rnd = random.Random(seed)

    work = tempfile.mkdtemp(prefix="tavorin-wine-replay-")
    prefix = os.path.join(work, "prefix")
    subprocess.run(["cp", "-al", args.prefix, prefix], check=True)
    for name in os.listdir(args.prefix):
        if name.endswith(".reg"):  # Wine rewrites these: a copy of its own, not a link
            os.unlink(os.path.join(prefix, name))
            shutil.copy(os.path.join(args.prefix, name), os.path.join(prefix, name))
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)
    server = subprocess.Popen([WINESERVER, "-p", "-f"], env=env)  # one server for every case
    # The first program in a prefix starts Wine's own services, which inherit its output and
    # keep it open: they get nothing to hold.
    subprocess.run([WINE, args.windows, "--time", "0"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=120)
    failures = 0
    try:
        cases = [["--version"], ["--time", "7", "S", "C", "Z"]] + \
            [random_case(rnd) for _ in range(args.cases)]
        for i, case in enumerate(cases):
            mesh = i % 8 == 0 and "--version" not in case
            extra_l = ["--dump-mesh", os.path.join(work, "linux")] if mesh else []
            extra_w = ["--dump-mesh", "Z:" + os.path.join(work, "windows")] if mesh else []
            linux = run([args.linux] + extra_l + case)
            windows = run([WINE, args.windows] + extra_w + case, env)
            same = linux == windows
            if mesh and same:
                for suffix in (".vertices", ".indices"):
                    with open(os.path.join(work, "linux" + suffix), "rb") as a, \
                            open(os.path.join(work, "windows" + suffix), "rb") as b:
                        same = same and a.read() == b.read()
            if not same:
                failures += 1
                print(f"differs (seed {seed}): {' '.join(case)}\n linux {linux[0]}: "
                      f"{linux[1][:300]!r}\n windows {windows[0]}: {windows[1][:300]!r}")
    finally:
        subprocess.run([WINESERVER, "-k"], env=env)
        server.wait()
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(cases) - failures} of {len(cases)} cases the same (seed {seed})")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
