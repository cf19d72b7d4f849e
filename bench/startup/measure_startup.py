#!/usr/bin/env python3
"""Times the desktop game's start against the desktop's card game and a bare SDL2 + OpenGL
window, side by side on one private Xvfb display (Mesa's llvmpipe), for the benchmark
figures, not as a test.

Each round starts, one after the other and in turn first, (a) build/release/tavorin until
its first menu frame is on screen (the menu's red labels read back from the X server, as
scripts/stress_starts.py reads them), (b) the card game `sol` until its window shows the
felt and the dealt cards, (c) build/release/bench/startup/tavorin_bare_window until its one
red frame is on screen, and (d) the same drawn through a 16-bit back buffer as the game draws
(--drawn). Each is timed from launch, and its peak resident memory (VmHWM) is
read at that frame and again after a short settle; then it is killed. A first round warms
the caches and is not counted.

  bench/startup/measure_startup.py [--runs 20] [--phases 10] [--settle 0.5] [--compare EXE]

--compare EXE times another build of the game in the same rounds (an older one, say).

--phases K then starts the game and the bare window K times more each with
libtavorin_phase_probe.so preloaded, and prints the median time from launch at which each
step of the start first happened.

Run it niced on a shared machine: nice -n 10 bench/startup/measure_startup.py.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import stress_starts  # noqa: E402  (the display, the X reads, the menu's test)

PEER = "/usr/games/sol"


def table(low, high):
    return bytes(1 if low <= v <= high else 0 for v in range(256))


# The peer's felt is a dark green near (0, 79, 15); its cards are pure white.
_FELT = (table(0, 60), table(60, 100), table(0, 40))  # blue, green, red
_WHITE = (table(251, 255),) * 3


def share(data, tests):
    """The fraction of 32-bit B, G, R, X pixels that pass the three channel tests."""
    passed = -1
    for channel, test in enumerate(tests):
        passed &= int.from_bytes(data[channel::4].translate(test), "big")
    return passed.bit_count() / (len(data) // 4)


def game_ready(x, window, grabbed):
    return stress_starts.shows_menu(x.red_columns(window, grabbed))


_RED = (table(0, 89), table(0, 89), table(151, 255))


def bare_ready(x, window, grabbed):
    # Not through red_columns: listing a whole window of red pixels takes Python too long.
    return share(grabbed[0], _RED) >= 0.9


def peer_ready(x, window, grabbed):
    data = grabbed[0]
    return share(data, _FELT) >= 0.2 and share(data, _WHITE) >= 0.1


class Subject:
    def __init__(self, name, command, folder, title, ready, env):
        self.name, self.command, self.folder = name, command, folder
        self.title, self.ready, self.env = title, ready, env
        self.times, self.first_hwm, self.peak_hwm = [], [], []


def memory(pid):
    """VmHWM and VmRSS of the process in MB, or (None, None) once it is gone."""
    try:
        with open(f"/proc/{pid}/status") as status:
            fields = dict(line.split(":", 1) for line in status if ":" in line)
        return (int(fields["VmHWM"].split()[0]) / 1024, int(fields["VmRSS"].split()[0]) / 1024)
    except (OSError, KeyError, ValueError):
        return None, None


def start(display, subject, args):
    """Seconds from launch to the ready frame and VmHWM then and after settling, or a
    failure's words."""
    started = time.monotonic()
    process = subprocess.Popen(subject.command, cwd=subject.folder, env=subject.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        window = None
        last = None

        def ready():
            # The pixels are looked at only when they changed since the last poll: the
            # test takes Python some 10 ms, the grab some 5, and every poll takes a
            # processor from the program being started.
            nonlocal window, last
            if window is None:
                found = display.x.named_windows(subject.title)
                window = found[0] if found else None
                if window is None:
                    return False
            grabbed = display.x.pixels(window)
            if not grabbed or grabbed[0] == last:
                return False
            last = grabbed[0]
            return subject.ready(display.x, window, grabbed)

        if not stress_starts.wait_for(ready, args.patience):
            return None, "no window" if window is None else "window never drawn"
        shown = time.monotonic() - started
        first, _ = memory(process.pid)
        time.sleep(args.settle)
        peak, _ = memory(process.pid)
        if first is None or peak is None:
            return None, f"ended with {process.poll()}"
        return (shown, first, peak), None
    finally:
        stress_starts.end_process(process)


def spread(values, unit, digits):
    values = sorted(values)
    q = statistics.quantiles(values, n=4) if len(values) > 1 else values * 3
    f = f"{{:.{digits}f}}"
    return (f"median {f.format(statistics.median(values))} {unit}  (min {f.format(values[0])}, "
            f"quartiles {f.format(q[0])} to {f.format(q[2])}, max {f.format(values[-1])})")


def phases(subject, probe, runs):
    """Median ms from launch to each marked step, in the order the steps came."""
    marks = {}
    order = []
    for _ in range(runs):
        env = dict(subject.env, LD_PRELOAD=probe, TAVORIN_EXIT_AFTER_FRAME="1")
        env["TAVORIN_LAUNCH_NS"] = str(time.monotonic_ns())
        result = subprocess.run(subject.command, cwd=subject.folder, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60,
                                check=False)
        for line in result.stderr.decode(errors="replace").splitlines():
            if line.startswith("phase "):
                _, at, what = line.split(None, 2)
                if what not in marks:
                    marks[what] = []
                    order.append(what)
                marks[what].append(float(at))
    print(f"\n{subject.name}, {runs} starts with the phase probe (ms from launch, median):")
    for what in sorted(order, key=lambda w: statistics.median(marks[w])):
        print(f"  {statistics.median(marks[what]):8.1f}  {what}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=20, help="counted rounds (default 20)")
    parser.add_argument("--game", default=os.path.join(ROOT, "build/release/tavorin"))
    parser.add_argument("--bare",
                        default=os.path.join(ROOT, "build/release/bench/startup/tavorin_bare_window"))
    parser.add_argument("--settle", type=float, default=0.5,
                        help="seconds after the frame before the peak memory is read again")
    parser.add_argument("--patience", type=float, default=30, help="seconds a start may take")
    parser.add_argument("--compare", help="another build of the game, timed in the same rounds")
    parser.add_argument("--phases", type=int, default=0,
                        help="starts of the game and the bare window with the phase probe")
    args = parser.parse_args()
    for need in [args.game, args.bare, PEER]:
        if not os.access(need, os.X_OK):
            raise SystemExit(f"{need} is missing (build the release preset's tavorin and "
                             "tavorin_bare_window; apt-get install aisleriot)")
    for tool in ["Xvfb", "xdotool"]:
        if not shutil.which(tool):
            raise SystemExit(f"{tool} is missing (scripts/setup.sh installs it)")

    work = tempfile.mkdtemp(prefix="tavorin-startup-")
    display = stress_starts.Display()
    # The peer keeps its settings in a folder of its own for the run, as a player's would.
    peer_env = dict(display.env, XDG_CONFIG_HOME=os.path.join(work, "config"),
                    XDG_DATA_HOME=os.path.join(work, "data"),
                    XDG_STATE_HOME=os.path.join(work, "state"))
    subjects = [
        Subject("tavorin", [args.game], os.path.join(ROOT, "assets"), "^Tavorin$", game_ready,
                display.env),
        Subject("sol (peer)", [PEER], work, "^Klondike$", peer_ready, peer_env),
        Subject("bare SDL2 + GL window", [args.bare], work, "^Tavorin bare window$", bare_ready,
                display.env),
        Subject("bare window, drawn through a back buffer", [args.bare, "--drawn"], work,
                "^Tavorin bare window$", bare_ready, display.env),
    ]
    if args.compare:
        subjects.append(Subject("tavorin, " + args.compare, [os.path.abspath(args.compare)],
                                os.path.join(ROOT, "assets"), "^Tavorin$", game_ready,
                                display.env))
    failures = 0
    try:
        for round_number in range(args.runs + 1):
            # Each round in another order, so that none always follows the same one.
            turn = round_number % len(subjects)
            for subject in subjects[turn:] + subjects[:turn]:
                measured, failure = start(display, subject, args)
                if failure:
                    failures += 1
                    print(f"round {round_number}, {subject.name}: {failure}", flush=True)
                elif round_number > 0:
                    shown, first, peak = measured
                    subject.times.append(shown)
                    subject.first_hwm.append(first)
                    subject.peak_hwm.append(peak)
        if args.phases:
            probe = os.path.join(os.path.dirname(args.bare), "libtavorin_phase_probe.so")
            for subject in [subjects[0], subjects[2]] + subjects[4:]:
                phases(subject, probe, args.phases)
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)

    print(f"\n{args.runs} rounds on one Xvfb display, {failures} failed starts; load average "
          f"{os.getloadavg()[0]:.1f}")
    for subject in subjects:
        if not subject.times:
            continue
        print(f"{subject.name}:")
        print("  to the first frame: " + spread([t * 1000 for t in subject.times], "ms", 0))
        print("  VmHWM at that frame: " + spread(subject.first_hwm, "MB", 1))
        print(f"  VmHWM {args.settle} s later: " + spread(subject.peak_hwm, "MB", 1))
    game, peer, bare = subjects[:3]
    if game.times and peer.times:
        ratio = statistics.median(game.times) / statistics.median(peer.times)
        print(f"game / peer, medians: {ratio:.2f}")
        if len(game.times) == len(peer.times):
            rounds = [g / p for g, p in zip(game.times, peer.times)]
            print("game / peer, round by round: " + spread(rounds, "", 2))
    if args.compare and subjects[-1].times and peer.times:
        other = subjects[-1].times
        print(f"{args.compare} / peer, medians: "
              f"{statistics.median(other) / statistics.median(peer.times):.2f}")
        if len(other) == len(peer.times):
            rounds = [g / p for g, p in zip(other, peer.times)]
            print(f"{args.compare} / peer, round by round: " + spread(rounds, "", 2))
    if game.times and bare.times:
        print(f"game - bare window, medians: "
              f"{(statistics.median(game.times) - statistics.median(bare.times)) * 1000:.0f} ms")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
