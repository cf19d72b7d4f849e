#!/usr/bin/env python3
"""Checks tavorin-solve against a second, independent model of the rules.

Runs the tool over a range of deals and, in the Python model of tests/tools/replay_model.py:
plays every winning key sequence and wants an empty table; searches every position of every
lost deal and wants no win; finds the shortest win of the short deals by a plain search over
every key and wants the tool's length; presses C alone and wants the tool's count of such wins.
"""

import argparse
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from replay_model import KEYS, Model  # noqa: E402


# The row check is the replay model's own.
qualifies = Model.qualifies


def deal(rows, stock):
    live = [i for i, r in enumerate(rows) if r]
    n = min(len(live), len(stock))
    rows = list(rows)
    for i in range(n):
        rows[live[i]] = rows[live[i]] + (stock[n - 1 - i],)
    return tuple(rows), stock[n:]


def press(state, key):
    """A position (rows, stock, currentRow) after C, D or T, as a value."""
    rows, stock, row = state
    if key == "T":
        return rows, stock, 0
    if key == "D":
        rows, stock = deal(rows, stock)
        return rows, stock, 0
    r = max(row, 0)
    while r < 5 and not rows[r]:
        r += 1
    if r < 5 and len(rows[r]) >= 3 and qualifies(rows[r][-3:]):
        stock = stock + rows[r][-3:]
        rows = rows[:r] + (rows[r][:-3],) + rows[r + 1:]
    nxt = next((i for i in range(r + 1, 5) if rows[i]), None)
    if nxt is not None:
        return rows, stock, nxt
    rows, stock = deal(rows, stock)
    return rows, stock, 0


def won(state):
    return not any(state[0])


def opening(clock):
    model = Model(clock)
    model.key(KEYS["S"], False)
    return tuple(tuple(r) for r in model.rows), tuple(model.stock), model.row


def shortest(start, limit):
    """Keys of the shortest win by breadth-first search, -1 for none, None past `limit`."""
    seen, level, depth = {start}, [start], 0
    while level:
        depth += 1
        following = []
        for state in level:
            for key in "CDT":
                after = press(state, key)
                if won(after):
                    return depth
                if after not in seen:
                    seen.add(after)
                    following.append(after)
        if len(seen) > limit:
            return None
        level = following
    return -1


def checks_alone_win(state):
    seen = set()
    while not won(state) and state not in seen:
        seen.add(state)
        state = press(state, "C")
    return won(state)


def check_deal(result, bfs_up_to, bfs_limit):
    """An error message, or None; and what was compared."""
    clock = result["time"]
    if result["result"] == "won":
        keys = result["keys"]
        if len(keys) != result["length"] or set(keys) - set("CDT"):
            return f"{clock}: keys {keys!r} with length {result['length']}", None
        model = Model(clock)
        model.key(KEYS["S"], False)
        state = opening(clock)
        for key in keys:
            model.key(KEYS[key], False)
            state = press(state, key)
        if any(model.rows):
            return f"{clock}: the keys leave {[len(r) for r in model.rows]} tiles in the rows", None
        if not won(state):
            return f"{clock}: the two Python models disagree", None
        if len(keys) <= bfs_up_to:
            found = shortest(opening(clock), bfs_limit)
            if found != len(keys):
                return f"{clock}: a plain search finds {found} keys, the tool {len(keys)}", None
            return None, "shortest"
        return None, "played"
    if result["result"] == "lost":
        found = shortest(opening(clock), bfs_limit)
        if found != -1:
            return f"{clock}: the tool says lost, a plain search finds {found}", None
        return None, "lost"
    return f"{clock}: result {result['result']}", None


def check_range(tool, first, count, bfs_up_to, bfs_limit, tally):
    out = subprocess.run([tool, "--from", str(first), "--count", str(count), "--json",
                          "--threads", "2"], capture_output=True, text=True, check=True)
    lines = [json.loads(line) for line in out.stdout.splitlines()]
    deals, summary = lines[:-1], lines[-1]
    errors = []
    if [d["time"] for d in deals] != list(range(first, first + count)):
        errors.append(f"{first}: the deals are not the range, in order")
    for result in deals:
        error, kind = check_deal(result, bfs_up_to, bfs_limit)
        if error:
            errors.append(error)
        else:
            tally[kind] += 1
    alone = sum(checks_alone_win(opening(d["time"])) for d in deals)
    tally["alone"] += alone
    want = {"deals": len(deals), "won": sum(d["result"] == "won" for d in deals),
            "lost": sum(d["result"] == "lost" for d in deals), "checks_only": alone}
    if any(summary.get(k) != v for k, v in want.items()):
        errors.append(f"{first}: summary {summary}, want {want}")
    return errors


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--range", dest="ranges", action="append", metavar="FROM:COUNT",
                        help="deals to check (default 1234567000:120)")
    parser.add_argument("--bfs-up-to", type=int, default=20)
    parser.add_argument("--bfs-limit", type=int, default=400_000)
    args = parser.parse_args()
    tally = {"shortest": 0, "played": 0, "lost": 0, "alone": 0}
    errors = []
    for given in args.ranges or ["1234567000:120"]:
        first, count = map(int, given.split(":"))
        errors += check_range(args.tool, first, count, args.bfs_up_to, args.bfs_limit, tally)
    if tally["shortest"] == 0 or tally["lost"] == 0:
        errors.append(f"the deals prove too little: {tally}")
    for error in errors:
        print("FAIL", error)
    print(f"{tally['played'] + tally['shortest']} wins played, {tally['shortest']} of them "
          f"proven shortest, {tally['lost']} losses searched through, {tally['alone']} wins "
          f"by C alone; {len(errors)} failures")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
