#!/usr/bin/env python3
"""tavorin-replay's command line: help, refusals naming the argument, keys in any letter case,
the clock's range, and keys after the window closed reported."""

import json
import sys

from command_line_check import Expectations, run


def main():
    tool = sys.argv[1]
    checks = Expectations()
    expect = checks.expect

    status, out, err = run(tool, "--help")
    expect("--help: usage on standard output, status 0",
           status == 0 and out.startswith("usage: tavorin-replay") and err == "")
    for args, named in ((["S", "Z"], "'Z'"), (["--time", "-1", "S"], "'-1'"),
                        (["--time", "4294967296"], "'4294967296'"), (["--bogus"], "'--bogus'"),
                        (["--dump-mesh"], "--dump-mesh")):
        status, out, err = run(tool, *args)
        expect(f"{args}: status 2 naming {named}",
               status == 2 and out == "" and named in err and "--help" in err)

    status, out, err = run(tool, "--time", "4294967295", "s", "c", "alt+d", "D")
    lines = [json.loads(line) for line in out.splitlines()]
    expect("keys in any letter case",
           status == 0 and len(lines) == 5 and lines[1]["gameState"] == 10
           and lines[3]["counts"] == lines[2]["counts"] and lines[4]["counts"][5] < 7)

    status, out, err = run(tool, "--time", "5", "S", "esc", "C", "d")
    expect("keys after a quit key reported, not played",
           status == 0 and len(out.splitlines()) == 3
           and "esc closed the window; not played: C d" in err)
    status, out, err = run(tool, "--time", "5", "S", "Alt+0x73")
    expect("nothing to report when the quit key is the last", status == 0 and err == "")

    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
