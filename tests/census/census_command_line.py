#!/usr/bin/env python3
"""tavorin-census as a user meets it: bad arguments refused with status 2 and nothing in the
folder damaged, a full disk, a run killed with SIGKILL and run again, and `list` agreeing with
tavorin-solve deal for deal."""

import json
import os
import resource
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from command_line_check import Expectations, run  # noqa: E402


def folder_bytes(path):
    """Every file of a census folder but the locks, with its bytes."""
    return {name: open(os.path.join(path, name), "rb").read()
            for name in sorted(os.listdir(path)) if not name.endswith(".lock")}


def main():
    census, solve, version = sys.argv[1], sys.argv[2], sys.argv[3]
    checks = Expectations()
    expect = checks.expect
    scratch = tempfile.mkdtemp(prefix="census-cli-")

    status, out, err = run(census, "--help")
    expect("--help: usage on standard output, status 0",
           status == 0 and out.startswith("usage: tavorin-census run") and err == "")
    status, out, _ = run(census, "--version")
    expect("--version: the version", status == 0 and out.startswith(f"tavorin-census {version}\n"))

    # A census of 12 deals in shards of 5, checked against one made once and for all.
    whole = os.path.join(scratch, "whole")
    base = ["run", "--from", "1700000100", "--count", "12", "--step", "2", "--shard-size", "5"]
    status, _, err = run(census, *base, "--dir", whole, "--threads", "2")
    expect("a run: status 0, nothing on standard error off a terminal", status == 0 and err == "")
    reference = folder_bytes(whole)

    bad = [
        (["run", "--from", "0", "--count", "0", "--dir", whole], "--count"),
        (["run", "--from", "4294967295", "--count", "2", "--dir", whole], "past second 4294967295"),
        (["run", "--from", "0", "--count", "3", "--step", "2147483648", "--dir", whole], "past"),
        (["run", "--from", "0", "--count", "3", "--shard-size", "0", "--dir", whole],
         "--shard-size"),
        (base + ["--dir", whole, "--shard", "3"], "--shard 3"),
        (["run", "--from", "1700000100", "--count", "12", "--dir", whole], "another census"),
        (base[:-2] + ["--shard-size", "6", "--dir", whole], "another census"),
        (base + ["--dir", os.path.join(whole, "census.txt", "below")], "cannot use the folder"),
        (["run", "--count", "5", "--dir", whole], "--from"),
        (["report"], "folder"),
        (["report", whole, "--shard", "1"], "--shard"),
        (["list", os.path.join(scratch, "nothing")], "holds no census"),
        (["tally", whole], "'tally'"),
        ([], "command"),
        (["run", "--from", "-1", "--count", "2", "--dir", whole], "'-1'"),
    ]
    for args, named in bad:
        status, out, err = run(census, *args)
        expect(f"{args}: status 2 naming {named}",
               status == 2 and out == "" and named in err)
    expect("no refused run touched the census", folder_bytes(whole) == reference)

    # A full disk: every write past 2 KiB fails (EFBIG); no partial shard may pass as whole.
    full = os.path.join(scratch, "full")

    def small_disk():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (64 + 4, 64 + 4))

    done = subprocess.run([census, *base, "--dir", full], capture_output=True, text=True,
                          preexec_fn=small_disk)
    expect("a full disk: status 2, the shard named",
           done.returncode == 2 and "could not write" in done.stderr and ".census" in done.stderr)
    status, out, _ = run(census, "report", full, "--json")
    report = json.loads(out) if out else {}
    expect("after the full disk nothing is counted and every shard is to redo",
           status == 1 and report.get("deals") == 0 and report.get("redo") == [0, 1, 2]
           and not [n for n in os.listdir(full) if ".tmp-" in n])
    status, _, _ = run(census, *base, "--dir", full)
    expect("the rerun completes it, byte for byte", status == 0 and folder_bytes(full) == reference)

    # Killed with SIGKILL once the first shard is out; the rerun finishes only what is missing.
    killed = os.path.join(scratch, "killed")
    one_a_shard = ["run", "--from", "1700000100", "--count", "40", "--step", "2",
                   "--shard-size", "1"]
    process = subprocess.Popen([census, *one_a_shard, "--dir", killed, "--threads", "1"])
    while not os.path.exists(os.path.join(killed, "shard-000002.census")):
        time.sleep(0.005)
    process.send_signal(signal.SIGKILL)
    process.wait()
    status, out, _ = run(census, "report", killed, "--json")
    partial = json.loads(out)
    expect("after SIGKILL: the finished shards count, the rest are to redo",
           status == 1 and 3 <= partial["complete"] < 40
           and partial["deals"] == partial["complete"]
           and len(partial["redo"]) == 40 - partial["complete"])
    status, _, _ = run(census, *one_a_shard, "--dir", killed)
    once = os.path.join(scratch, "once")
    run(census, *one_a_shard, "--dir", once)
    leftovers = [n for n in os.listdir(killed) if ".tmp-" in n]
    for name in leftovers:  # the shard in flight when it was killed, never counted
        os.remove(os.path.join(killed, name))
    expect("the rerun makes the census one run makes",
           status == 0 and len(leftovers) <= 1 and folder_bytes(killed) == folder_bytes(once))
    status, text_killed, _ = run(census, "report", killed)
    _, text_once, _ = run(census, "report", once)
    expect("and reports it alike", status == 0 and text_killed == text_once)

    # list against tavorin-solve, deal for deal.
    status, out, err = run(census, "list", whole, "--json")
    listed = [json.loads(line) for line in out.splitlines()]
    status_solve, solved_out, _ = run(solve, "--from", "1700000100", "--count", "23", "--json")
    solved = {d["time"]: d for d in map(json.loads, solved_out.splitlines()) if "result" in d}
    expect("list: every deal, as tavorin-solve decides it",
           status == 0 and status_solve == 0 and len(listed) == 12 and all(
               d["result"] == solved[d["time"]]["result"]
               and d.get("length") == solved[d["time"]].get("length") for d in listed)
           and [d["time"] for d in listed] == list(range(1700000100, 1700000124, 2)))
    status, out, _ = run(census, "list", whole, "--from", "1700000105", "--count", "2")
    expect("list --from a second between deals starts at the next deal",
           status == 0 and [line.split(":")[0] for line in out.splitlines()]
           == ["1700000106", "1700000108"])
    status, out, _ = run(census, "report", whole, "--json", "--svg",
                         os.path.join(scratch, "census.svg"))
    report = json.loads(out)
    expect("report --json: the counts, the interval, nothing to redo",
           status == 0 and report["deals"] == 12 and report["won"] + report["lost"] == 12
           and report["undecided"] == 0 and report["redo"] == []
           and report["wilson_95"][0] <= report["won_share"] <= report["wilson_95"][1])
    svg = open(os.path.join(scratch, "census.svg")).read()
    expect("report --svg: a picture with its bars", svg.startswith("<?xml") and
           svg.count("<rect") > 2 and svg.rstrip().endswith("</svg>"))

    subprocess.run(["rm", "-rf", scratch], check=False)
    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
