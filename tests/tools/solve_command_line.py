#!/usr/bin/env python3
"""tavorin-solve's command line: what goes to which stream, and the exit status."""

import json
import sys

from command_line_check import Expectations, run


def main():
    tool, version = sys.argv[1], sys.argv[2]
    checks = Expectations()
    expect = checks.expect

    status, out, err = run(tool, "--help")
    expect("--help: usage on standard output, status 0",
           status == 0 and out.startswith("usage: tavorin-solve") and "--quick" in out
           and err == "")
    status, out, err = run(tool, "--version")
    lines = out.splitlines()
    expect("--version: the version, the copyright holders and the licence",
           status == 0 and err == "" and len(lines) == 3 and lines[0] == f"tavorin-solve {version}"
           and lines[1].endswith(" The Tavorin developers") and lines[2].startswith("Licence: MIT"))
    for args, named in ((["--time", "4294967296"], "--time"), (["--bogus"], "'--bogus'"),
                        ([], "--time"), (["--from", "5", "--count", "x"], "'x'"),
                        (["--time", "1", "--threads"], "--threads")):
        status, out, err = run(tool, *args)
        expect(f"{args}: status 2 naming {named}",
               status == 2 and out == "" and named in err and "--help" in err)

    status, out, err = run(tool, "--time", "1700000011")
    expect("one lost deal in words",
           status == 0 and out.startswith("1700000011: lost") and out.count("\n") == 1
           and err == "")
    status, out, err = run(tool, "--from", "1700000520", "--count", "2", "--json",
                           "--threads", "2")
    lines = [json.loads(line) for line in out.splitlines()]
    expect("a range in JSON, the summary last, no progress line off a terminal",
           status == 0 and err == "" and [d.get("time") for d in lines[:2]] ==
           [1700000520, 1700000521] and lines[0]["result"] == "won" and lines[0]["length"] == 18
           and lines[2]["deals"] == 2)
    status, out, err = run(tool, "--from", "1700000690", "--count", "3", "--quick")
    expect("--quick: words, then the summary of found wins",
           status == 0 and "1700000691: won in " in out and "wins found: " in out
           and "3 deals (1700000690 to 1700000692)" in out)

    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
