#!/usr/bin/env python3
"""A second, independent model of the rules and the mesh, to check tavorin-replay against.

Plays random clock values and key sequences through the model and through the tool and
compares every printed position; with --mesh it also checks the dumped vertices and indices.
"""

import argparse
import json
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

TILES = [(9, 10), (9, 10), (5, 5), (5, 5), (4, 4), (4, 4), (3, 3), (3, 3), (2, 8), (2, 8),
         (1, 7), (1, 7), (1, 8), (1, 3), (1, 3), (1, 4), (1, 5), (1, 5), (1, 6), (1, 6),
         (2, 3), (2, 4), (2, 5), (2, 6), (3, 4), (3, 5), (3, 6), (4, 5), (4, 6), (4, 6),
         (5, 6), (5, 6)]
PIPS = [0, 1, 2, 3, 4, 5, 6, 1, 2, 6, 6]
TUTORIAL, MENU, NEW_GAME, NEW_DEAL, CHECK_ROW, DEAL_STOCK, PLAYING = -3, -2, -1, 0, 1, 2, 10
KEYS = {"Esc": 0x1B, "Q": 0x51, "S": 0x53, "F2": 0x71, "N": 0x4E, "C": 0x43, "D": 0x44, "T": 0x54}


class Model:
    def __init__(self, clock):
        self.clock = clock
        self.rows = [[(0, 0)] * 5 for _ in range(5)]  # tiles below each count
        self.stock = [(0, 0)] * 7
        self.live = 5
        self.state, self.row = MENU, -1
        self.rng, self.seeded = 1, None
        self.running = True

    def draw(self):
        self.rng = (self.rng * 214013 + 2531011) % 2**32
        return (self.rng >> 16) & 0x7FFF

    def shuffle(self):
        second = self.clock % 2**32
        if self.seeded != second:
            self.rng, self.seeded = second, second
        tiles, bits = list(TILES), 0
        for step in range(16001):
            if bits < 1:
                bits = self.draw()
            if bits & 1:
                k = step % 32
                j = (k + 1) % 32
                tiles[k], tiles[j] = tiles[j], tiles[k]
            bits //= 2
        self.rows = [tiles[5 * r:5 * r + 5] for r in range(5)]
        self.stock = tiles[25:]
        self.live = 5

    @staticmethod
    def qualifies(tail):
        counts = [0] * 7
        for t in tail:
            for h in t:
                counts[PIPS[h]] += 1
        triples = sum(1 for v in range(1, 7) if counts[v] >= 3)
        leftover = sum(v * (counts[v] - 3 if counts[v] >= 3 else counts[v]) for v in range(1, 7))
        return triples == 2 or (triples >= 1 and leftover >= 9)

    def check(self):
        if self.row < 0:
            self.row = 0
        while self.row < 5 and not self.rows[self.row]:
            self.row += 1
        if self.row < 5:
            r = self.rows[self.row]
            if len(r) >= 3 and self.qualifies(r[-3:]):
                self.stock += r[-3:]
                del r[-3:]
                if not r:
                    self.live -= 1

    def deal(self):
        n = min(self.live, len(self.stock))
        live_rows = [r for r in self.rows if r]
        for i in range(n):
            live_rows[i].append(self.stock[n - 1 - i])
        self.stock = self.stock[n:]

    def step(self):
        s = self.state
        if s in (TUTORIAL, MENU):
            self.row = 0
        elif s in (NEW_GAME, NEW_DEAL):
            self.shuffle()
            self.row, self.state = 0, PLAYING
        elif s == CHECK_ROW:
            self.check()
            nxt = next((r for r in range(self.row + 1, 5) if self.rows[r]), None)
            if nxt is None:
                self.row, self.state = 0, DEAL_STOCK
            else:
                self.row, self.state = nxt, PLAYING
        elif s == DEAL_STOCK:
            self.deal()
            self.row, self.state = 0, PLAYING

    def key(self, code, alt):
        if alt:
            if code == 0x73:
                self.running = False
        elif code in (0x1B, 0x51):
            self.running = False
        else:
            self.state = {0x53: NEW_GAME, 0x71: NEW_GAME, 0x4E: NEW_DEAL, 0x43: CHECK_ROW,
                          0x44: DEAL_STOCK, 0x54: TUTORIAL}.get(code, self.state)
        self.step()
        while self.running and self.state not in (PLAYING, MENU, TUTORIAL):
            self.step()

    def position(self, key):
        counts = [len(r) for r in self.rows] + [len(self.stock), self.live]
        return {"key": key, "gameState": self.state, "currentRow": self.row, "counts": counts,
                "rows": [[list(t) for t in r] for r in self.rows],
                "stock": [list(t) for t in self.stock]}


def key_code(name):
    """The code of a key name as the tool takes it: letters in any case."""
    alt = name.lower().startswith("alt+")
    base = name[4:] if alt else name
    named = {k.lower(): code for k, code in KEYS.items()}
    return (named[base.lower()] if base.lower() in named else int(base, 16)), alt


def expected_mesh(model):
    """Vertices (x, y, z, colour) and indices the dump must hold for the model's position."""
    k, w, r = 0xFF000000, 0xFFFFFFFF, 0xFFFF0000
    grids = ["kkkkkkkkkk", "wrwwwwwwww", "kwkwwwwwww", "wwkwkwkwww", "rwrwwwrwrw", "kwkwkwkwkw",
             "kwkkwkkwkw", "wwwwwwwrww", "wwwwwwkwkw", "kwrkwrkwrw", "rwkrwkrwkw"]
    colours = [[{"k": k, "w": w, "r": r}[c] for c in g] for g in grids]
    verts = []
    for slot in range(165):
        if slot < 160:
            row, pos = divmod(slot, 32)
            cx, cy = pos * 2.5 - 20, 12 - row * 4.375
            tiles = model.rows[row]
            first, second = tiles[pos] if pos < len(tiles) else (0, 0)
            pip = [colours[first][q] for q in range(9)] + [colours[second][q] for q in range(9)]
            body = colours[second][9]
        else:
            kk = slot - 160
            cx, cy = kk * 2.5 - 20, -10.75
            c = k if kk < max(5 - len(model.stock), 0) else w
            pip, body = [c] * 18, c
        for half, rows in ((0, (1.25, 0.75, 0.25)), (1, (-0.25, -0.75, -1.25))):
            for ri, dy in enumerate(rows):
                for ci, dx in enumerate((-0.6, 0.0, 0.6)):
                    for a in (-90, 0, 90, 180):
                        t = math.radians(a)
                        verts.append((cx + dx + math.cos(t) / 6, cy + dy + math.sin(t) / 6,
                                      pip[9 * half + 3 * ri + ci]))
        s45 = 0.15 * math.sin(math.pi / 4)
        xs, ys = (1.05, 1.05 + s45, 1.2), (1.75, 1.6 + s45, 1.6)
        for (sx, sy), order in (((-1, 1), (0, 1, 2)), ((-1, -1), (2, 1, 0)), ((1, -1), (0, 1, 2)),
                                ((1, 1), (2, 1, 0))):
            for i in order:
                verts.append((cx + sx * xs[i], cy + sy * ys[i], body))
    idx = []
    for slot in range(165):
        b = 84 * slot
        for kk in range(5):
            idx += [b + 83 - kk, b + 72 + kk, b + 73 + kk, b + 83 - kk, b + 73 + kk, b + 82 - kk]
        for p in range(18):
            q = b + 4 * p
            idx += [q + 2, q + 3, q + 1, q + 1, q + 3, q]
    return verts, idx


def check_mesh(model, prefix):
    verts, idx = expected_mesh(model)
    data = open(prefix + ".vertices", "rb").read()
    if len(data) != 221760:
        return f"vertices file is {len(data)} bytes"
    for i, (x, y, c) in enumerate(verts):
        vx, vy, vz, vc = struct.unpack_from("<fffI", data, 16 * i)
        if abs(vx - x) > 1e-5 or abs(vy - y) > 1e-5 or vz != 30.0 or vc != c:
            return f"vertex {i}: got ({vx}, {vy}, {vz}, {vc:#x}), want ({x}, {y}, 30, {c:#x})"
    data = open(prefix + ".indices", "rb").read()
    if len(data) != 45540:
        return f"indices file is {len(data)} bytes"
    got = list(struct.unpack(f"<{len(idx)}H", data))
    if got != idx:
        first = next(i for i, (a, b) in enumerate(zip(got, idx)) if a != b)
        return f"index {first}: got {got[first]}, want {idx[first]}"
    return None


def run_case(tool, clock, keys, mesh_prefix=None):
    model = Model(clock)
    want = [model.position(None)]
    for name in keys:
        code, alt = key_code(name)
        model.key(code, alt)
        want.append(model.position(name))
        if not model.running:
            break
    args = [tool, "--time", str(clock)] + (["--dump-mesh", mesh_prefix] if mesh_prefix else [])
    out = subprocess.run(args + keys, capture_output=True, text=True, check=True).stdout
    got = [json.loads(line) for line in out.splitlines()]
    if got != want:
        for i, (g, w) in enumerate(zip(got, want)):
            if g != w:
                return f"line {i}: got {g}\n want {w}"
        return f"got {len(got)} lines, want {len(want)}"
    if mesh_prefix and any(key_code(k)[0] in (0x53, 0x71) for k in keys):
        return check_mesh(model, mesh_prefix) if model_started(keys) else None
    return None


def model_started(keys):
    """The mesh is coloured from the board once a game has started: S or F2 came first."""
    for name in keys:
        code, alt = key_code(name)
        if not alt and code in (0x53, 0x71):
            return True
        if not alt and code in (0x1B, 0x51):
            return False
    return False


def random_keys(rnd):
    names = ["S", "F2", "N", "C", "C", "C", "c", "D", "T", "0x41", "0x00", "0xFF", "Alt+C",
             "Alt+S", "alt+d", "f2", "n"]
    keys = ["S"] if rnd.random() < 0.9 else []
    keys += [rnd.choice(names) for _ in range(rnd.randint(0, 60))]
    if rnd.random() < 0.2:
        keys.append(rnd.choice(["Esc", "Q", "esc", "q", "Alt+0x73"]))
        keys += [rnd.choice(names) for _ in range(3)]
    return keys


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--cases", type=int, default=500)
    parser.add_argument("--mesh-cases", type=int, default=20)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rnd = random.Random(args.seed)
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        for case in range(args.cases):
            clock = rnd.choice([0, 1, 2**31 - 1, 2**32 - 1, rnd.randrange(2**32)])
            keys = random_keys(rnd)
            prefix = os.path.join(tmp, "mesh") if case < args.mesh_cases else None
            error = run_case(args.tool, clock, keys, prefix)
            if error:
                failures += 1
                print(f"FAIL clock={clock} keys={' '.join(keys)}\n  {error}")
                if failures > 5:
                    break
    print(f"{args.cases - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
