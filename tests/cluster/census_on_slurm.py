#!/usr/bin/env python3
"""The census through Slurm on a real one-node cluster, against one plain run of the same range.

Submits the census as job arrays (MaxArraySize is set small so it takes several), kills one
running task's census process, which requeues itself; damages two shards and submits again,
killing a task that may not retry, so its report is cancelled; submits once more. After the
first and the last round the report and the list must be byte for byte those of one plain
`tavorin-census run`.

usage: census_on_slurm.py TAVORIN_CENSUS
Exit 77 (skipped) when Slurm is not installed or this is not root, unless
TAVORIN_REQUIRE_CLUSTER is set.
"""

import difflib
import glob
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import one_node_cluster  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SUBMIT = os.path.join(SOURCE, "cluster", "slurm", "census-submit")
SKIP = 77

# 10 shards, the last one short, 4 to an array: three arrays, the last of two.
FROM, COUNT, STEP, SHARD_SIZE = 1_700_000_000, 350, 3, 36
MAX_ARRAY_SIZE = 4
SETTINGS = ["--from", str(FROM), "--count", str(COUNT), "--step", str(STEP)]
SETTINGS += ["--shard-size", str(SHARD_SIZE)]
DEADLINE = 100  # seconds for each round of jobs


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def say(*parts):
    print(*parts, flush=True)


def shard_list(ranges):
    """'0-2,5' as [0, 1, 2, 5]."""
    shards = []
    for part in ranges.split(","):
        first, _, last = part.partition("-")
        shards += range(int(first), int(last or first) + 1)
    return shards


def process_state(pid):
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rpartition(")")[2].split()[0]


class Scenario:
    def __init__(self, census, cluster, work):
        self.census = os.path.realpath(census)
        self.cluster = cluster
        self.dir = os.path.join(work, "census")
        self.expected = {}

    def tool(self, *args, ok=(0,)):
        done = subprocess.run([self.census] + list(args), capture_output=True, text=True)
        check(
            done.returncode in ok,
            "tavorin-census %s: status %d\n%s" % (" ".join(args), done.returncode, done.stderr),
        )
        return done.stdout

    def outputs(self, folder):
        """What the census says of a folder: reports and lists, text and JSON."""
        return {
            "report": self.tool("report", folder),
            "report --json": self.tool("report", folder, "--json"),
            "list": self.tool("list", folder),
            "list --json": self.tool("list", folder, "--json"),
        }

    def reference(self, work):
        folder = os.path.join(work, "alone")
        self.tool("run", *SETTINGS, "--threads", "1", "--dir", folder)
        self.expected = self.outputs(folder)
        self.shards = json.loads(self.expected["report --json"])["shards"]
        check(self.shards == 10, "the plain run has %d shards, not 10" % self.shards)

    def submit(self, *extra, status=0):
        argv = [
            SUBMIT,
            "--census",
            self.census,
            *SETTINGS,
            "--dir",
            self.dir,
            "--at-once",
            "2",
        ]
        argv += list(extra)
        done = self.cluster.run(*argv, check=False)
        say("$ census-submit " + " ".join(extra) + "\n" + done.stdout + done.stderr)
        check(
            done.returncode == status,
            "census-submit: status %d, not %d" % (done.returncode, status),
        )
        arrays = {
            job: shard_list(shards)
            for job, shards in re.findall(r"^array (\d+): shards ([\d,-]+)", done.stdout, re.M)
        }
        report = re.findall(r"^report (\d+):", done.stdout, re.M)
        return arrays, report[0] if report else None

    def job(self, job):
        """scontrol's fields of one job (the first, for an array: ask for a task's own id)."""
        text = self.cluster.run("scontrol", "show", "job", "-o", job).stdout
        return dict(re.findall(r"(\w+)=(\S*)", text.splitlines()[0])) if text.strip() else {}

    def shard_processes(self):
        """The census processes of running tasks: pid, shard, job id."""
        found = []
        for pid in self.cluster._ours():
            try:
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    argv = f.read().decode().split("\0")
                with open("/proc/%d/environ" % pid, "rb") as f:
                    env = dict(e.split("=", 1) for e in f.read().decode().split("\0") if "=" in e)
            except (OSError, UnicodeDecodeError):
                continue
            if self.census in argv and "run" in argv and "--shard" in argv:
                found.append((pid, int(argv[argv.index("--shard") + 1]), env.get("SLURM_JOB_ID")))
        return found

    def kill_between_writes(self, pid):
        """SIGKILL, unless the census is writing a file: a temporary one left then would be
        reported (rightly) as a stopped run's leftover, which the plain run has not. Stopped
        first, it cannot start writing while we look."""
        try:
            os.kill(pid, signal.SIGSTOP)
            while (state := process_state(pid)) != "T":
                if state == "Z":
                    return False
                time.sleep(0.001)
        except (ProcessLookupError, FileNotFoundError):
            return False
        if glob.glob(os.path.join(self.dir, "*.tmp-*")):
            os.kill(pid, signal.SIGCONT)
            return False
        os.kill(pid, signal.SIGKILL)
        return True

    def run_jobs(self, kill=False, release=True):
        """Waits until no job is queued; with kill, SIGKILLs the first census process caught
        running; with release, starts a requeued task now instead of two minutes on."""
        victim = None
        deadline = time.monotonic() + DEADLINE
        while time.monotonic() < deadline:
            if kill and victim is None:
                for pid, shard, job in self.shard_processes():
                    if self.kill_between_writes(pid):
                        victim = (shard, job)
                        say(
                            "killed the census process of shard %d (job %s, pid %d)"
                            % (shard, job, pid)
                        )
                        break
            queue = self.cluster.run("squeue", "-h", "-o", "%i %T %r").stdout.split("\n")
            queue = [line.split() for line in queue if line.strip()]
            if not queue:
                check(not kill or victim is not None, "caught no census process running")
                return victim
            for job, state, reason in queue:
                if release and state == "PENDING" and reason == "BeginTime":
                    self.cluster.run("scontrol", "update", "jobid=" + job, "StartTime=now")
                    say("released requeued job %s" % job)
            time.sleep(0.02 if kill and victim is None else 0.3)
        raise TestFailure(
            "jobs still queued after %d s:\n%s" % (DEADLINE, self.cluster.run("squeue").stdout)
        )

    def check_results(self, round_name):
        got = self.outputs(self.dir)
        for what, text in self.expected.items():
            diff = difflib.unified_diff(
                text.splitlines(), got[what].splitlines(), "alone", "slurm", lineterm=""
            )
            check(
                got[what] == text,
                "%s: `tavorin-census %s` differs from the plain run's:\n%s"
                % (round_name, what, "\n".join(list(diff)[:40])),
            )
        with open(os.path.join(self.dir, "report.json")) as f:
            check(
                f.read() == self.expected["report --json"],
                round_name + ": the report job's report.json differs",
            )
        with open(os.path.join(self.dir, "report.txt")) as f:
            check(
                f.read() == self.expected["report"],
                round_name + ": the report job's report.txt differs",
            )

    def log_of(self, job_array_task):
        path = os.path.join(self.dir, "slurm", "shard-%s.out" % job_array_task)
        with open(path) as f:
            return f.read()

    def first_round(self):
        """All shards; a killed census process requeues its task, and the report waits for it."""
        arrays, report = self.submit()
        check(
            list(arrays.values()) == [[0, 1, 2, 3], [4, 5, 6, 7], [8, 9]],
            "arrays: %s" % arrays,
        )
        shard, job = self.run_jobs(kill=True)
        task = self.job(job)
        check(
            task.get("Restarts") == "1" and task.get("JobState") == "COMPLETED",
            "the killed task: %s" % {k: task.get(k) for k in ("JobState", "Restarts", "ExitCode")},
        )
        log = self.log_of("%s_%s" % (task["ArrayJobId"], task["ArrayTaskId"]))
        check("try 2" in log and "requeueing" in log, "the killed task's log:\n" + log)
        check(
            self.job(report).get("JobState") == "COMPLETED",
            "the report job: %s" % self.job(report),
        )
        self.check_results("first round")
        return shard

    def second_round(self, killed):
        """Two shards damaged; their task killed with no retry fails and cancels the report."""
        # Both in one array, apart where they can be, so its index list has a gap.
        base = killed // MAX_ARRAY_SIZE * MAX_ARRAY_SIZE
        width = min(MAX_ARRAY_SIZE, self.shards - base)
        lost = base + (killed - base + 2) % width if width > 2 else base + (killed - base + 1) % 2
        damaged = os.path.join(self.dir, "shard-%06d.census" % killed)
        with open(damaged, "r+b") as f:
            f.truncate(os.path.getsize(damaged) // 2)
        os.remove(os.path.join(self.dir, "shard-%06d.census" % lost))
        arrays, report = self.submit("--retries", "0")
        wanted = sorted([killed, lost])
        got = sorted(s for shards in arrays.values() for s in shards)
        check(got == wanted, "resubmitted shards %s, not %s" % (got, wanted))
        # While they are queued, a rerun would submit them twice: it is refused.
        self.submit(status=3)
        self.run_jobs(kill=True, release=False)
        check(
            self.job(report).get("JobState") == "CANCELLED",
            "the report after a failed task: %s" % self.job(report),
        )

    def third_round(self):
        """A rerun redoes only what failed; on a complete census, only the report."""
        # Other settings on the same folder are refused before anything is submitted.
        self.submit("--step", "4", status=2)
        redo = json.loads(self.tool("report", self.dir, "--json", ok=(1,)))["redo"]
        check(len(redo) == 1, "after one failed task the census has to redo %s" % redo)
        arrays, report = self.submit()
        check(
            list(arrays.values()) == [redo],
            "the rerun submitted %s for %s" % (arrays, redo),
        )
        self.run_jobs()
        self.check_results("third round")
        arrays, report = self.submit()
        check(
            not arrays and report,
            "on a complete census: arrays %s, report %s" % (arrays, report),
        )
        self.run_jobs()
        check(
            self.job(report).get("JobState") == "COMPLETED",
            "the lone report: %s" % self.job(report),
        )


def check_large_plan(cluster):
    """All 2^31 deals in shards of 10^6: 2,148 tasks in arrays within MaxArraySize."""
    done = cluster.run(
        SUBMIT,
        "--dry-run",
        "--census",
        sys.executable,
        "--from",
        "0",
        "--count",
        str(2**31),
        "--shard-size",
        str(10**6),
        "--dir",
        "/nonexistent/census",
        "--at-once",
        "3",
        check=False,
    )
    check(done.returncode == 0, "dry run: %s" % done.stderr)
    check("2148 shards, 2148 to submit in 537 arrays" in done.stdout, done.stdout[:500])
    lines = re.findall(
        r"^array (\d+): shards ([\d,-]+) \((\d+) tasks?, (\d+) at once\)",
        done.stdout,
        re.M,
    )
    check(
        len(lines) == 537 and lines[-1][1:3] == ("2144-2147", "4"),
        "dry run: %s" % lines[-1:],
    )
    check(
        sum(int(line[2]) for line in lines) == 2148 and {line[3] for line in lines} == {"1"},
        "dry run: tasks or throttles wrong",
    )
    # Three lanes, one throttle each, so no more than three tasks run at once.
    commands = [c for c in done.stdout.splitlines() if c.startswith("  sbatch") and "--array" in c]
    check(
        sum("--dependency afterany:" not in c for c in commands) == 3,
        "dry run: not three lanes",
    )


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    required = bool(os.environ.get("TAVORIN_REQUIRE_CLUSTER"))
    missing = one_node_cluster.missing_programs()
    reason = ("not installed: " + " ".join(missing)) if missing else None
    if reason is None and os.geteuid() != 0:
        reason = "slurmd needs root"
    if reason:
        print("cluster test %s: %s" % ("failed" if required else "skipped", reason))
        return 1 if required else SKIP

    # A clean stop on SIGTERM too (a CTest time-out, a cancelled CI run).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped by SIGTERM"))
    started = time.monotonic()
    cluster = one_node_cluster.OneNodeCluster(max_array_size=MAX_ARRAY_SIZE)
    work = tempfile.mkdtemp(prefix="tavorin-census-slurm-")
    try:
        scenario = Scenario(sys.argv[1], cluster, work)
        scenario.reference(work)
        cluster.start()
        say("cluster up in %s after %.1f s" % (cluster.root, time.monotonic() - started))
        check_large_plan(cluster)
        killed = scenario.first_round()
        scenario.second_round(killed)
        scenario.third_round()
    except Exception:
        if cluster.root:
            say(cluster.tail_logs())
        raise
    finally:
        cluster.stop()
        if not cluster.keep:
            subprocess.run(["rm", "-rf", work])
    left = [pid for pid in cluster.children_alive()] + cluster._ours()
    check(not left, "processes left running: %s" % left)
    say(
        "census on slurm: every round matches the plain run (%.1f s)" % (time.monotonic() - started)
    )
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except TestFailure as e:
        print("FAILED: %s" % e, file=sys.stderr)
        sys.exit(1)
