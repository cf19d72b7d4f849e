"""A real one-node Slurm cluster on localhost for the length of a test.

Everything lives in one temporary folder: a munge key of its own and munged's socket, slurm.conf
with its own ports, state, spool, logs and pid files. The daemons run in the foreground as our
children, told to die with us, and stop() ends them by their pid files, then anything still
running under this cluster's slurm.conf, so no daemon or job outlives the test.
"""

import ctypes
import os
import pwd
import shutil
import signal
import socket
import subprocess
import tempfile
import time

DAEMONS = ("munged", "slurmctld", "slurmd")
CLIENTS = ("sbatch", "squeue", "scontrol", "sinfo")


def missing_programs():
    """The Slurm and munge programs that are not installed."""
    return [
        p
        for p in DAEMONS + CLIENTS
        if not shutil.which(p, path=os.environ.get("PATH", "") + ":/usr/sbin")
    ]


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _die_with_parent():
    # PR_SET_PDEATHSIG: a daemon must not outlive a harness killed outright.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)


def _wait_for(what, check, timeout):
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise RuntimeError("timed out after %d s waiting for %s" % (timeout, what))
        time.sleep(0.2)


class OneNodeCluster:
    def __init__(self, cpus=None, max_array_size=1001, log=print):
        self.cpus = cpus or os.cpu_count() or 1
        self.max_array_size = max_array_size
        self.log = log
        self.node = socket.gethostname().split(".")[0]
        self.root = None
        self.stopped = False
        self.keep = bool(os.environ.get("TAVORIN_KEEP_CLUSTER"))
        self.children = {}

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    @property
    def env(self):
        """The environment for Slurm's commands and for the jobs they submit."""
        env = dict(os.environ)
        env["SLURM_CONF"] = self.path("slurm.conf")
        env["PATH"] = env.get("PATH", "") + ":/usr/sbin"
        for name in [k for k in env if k.startswith("SLURM_") and k != "SLURM_CONF"]:
            del env[name]
        return env

    def run(self, *args, check=True, **kwargs):
        return subprocess.run(
            args, env=self.env, check=check, capture_output=True, text=True, **kwargs
        )

    def start(self):
        self.root = tempfile.mkdtemp(prefix="tavorin-slurm-")
        os.chmod(self.root, 0o755)  # munged, as its own user, must reach its folder
        try:
            self._start_munged()
            self._write_conf()
            self._start("slurmctld", ["slurmctld", "-D", "-i"])
            self._wait_for_controller()
            self._start("slurmd", ["slurmd", "-D", "-N", self.node])
            _wait_for("node %s idle" % self.node, self._node_idle, 60)
        except BaseException:
            self.stop()
            raise
        return self

    def _start(self, name, argv, **kwargs):
        log = open(self.path("log", name + ".out"), "w")
        self.children[name] = subprocess.Popen(
            argv,
            env=self.env,
            stdin=subprocess.DEVNULL,
            stdout=log,
            stderr=subprocess.STDOUT,
            preexec_fn=_die_with_parent,
            **kwargs
        )
        log.close()

    def _start_munged(self):
        munge = pwd.getpwnam("munge")
        os.makedirs(self.path("log"))
        folder = self.path("munge")
        os.mkdir(folder, 0o755)  # munged wants its socket's folder searchable by all
        key = os.path.join(folder, "munge.key")
        with open(key, "wb") as f:
            f.write(os.urandom(1024))
        os.chmod(key, 0o400)
        for p in (folder, key):
            os.chown(p, munge.pw_uid, munge.pw_gid)
        self.munge_socket = os.path.join(folder, "munge.socket")
        self._start(
            "munged",
            [
                "munged",
                "--foreground",
                "--key-file=" + key,
                "--socket=" + self.munge_socket,
                "--pid-file=" + os.path.join(folder, "munged.pid"),
                "--log-file=" + os.path.join(folder, "munged.log"),
                "--seed-file=" + os.path.join(folder, "munged.seed"),
            ],
            user=munge.pw_uid,
            group=munge.pw_gid,
            extra_groups=[],
        )
        _wait_for(
            "munged's socket",
            lambda: self._check_child("munged") and os.path.exists(self.munge_socket),
            20,
        )

    def _write_conf(self):
        for sub in ("state", "spool"):
            os.makedirs(self.path(sub))
        conf = {
            "ClusterName": "tavorin",
            "SlurmctldHost": "%s(127.0.0.1)" % self.node,
            "SlurmctldPort": _free_port(),
            "SlurmdPort": _free_port(),
            "SlurmUser": "root",
            "SlurmdUser": "root",
            "AuthType": "auth/munge",
            "CredType": "cred/munge",
            "AuthInfo": "socket=" + self.munge_socket,
            "ProctrackType": "proctrack/linuxproc",
            "TaskPlugin": "task/none",
            "JobAcctGatherType": "jobacct_gather/none",
            "AccountingStorageType": "accounting_storage/none",
            "JobCompType": "jobcomp/none",
            "MpiDefault": "none",
            "MailProg": "/bin/true",
            "SelectType": "select/cons_tres",
            "SelectTypeParameters": "CR_CPU",
            "ReturnToService": 2,
            "MaxArraySize": self.max_array_size,
            "MinJobAge": 600,
            "StateSaveLocation": self.path("state"),
            "SlurmdSpoolDir": self.path("spool"),
            "SlurmctldPidFile": self.path("slurmctld.pid"),
            "SlurmdPidFile": self.path("slurmd.pid"),
            "SlurmctldLogFile": self.path("log", "slurmctld.log"),
            "SlurmdLogFile": self.path("log", "slurmd.log"),
            "SlurmctldDebug": "info",
            "SlurmdDebug": "info",
        }
        lines = ["%s=%s" % kv for kv in conf.items()]
        lines.append(
            "NodeName=%s NodeAddr=127.0.0.1 CPUs=%d State=UNKNOWN" % (self.node, self.cpus)
        )
        lines.append(
            "PartitionName=census Nodes=%s Default=YES MaxTime=INFINITE State=UP" % self.node
        )
        with open(self.path("slurm.conf"), "w") as f:
            f.write("\n".join(lines) + "\n")

    def _check_child(self, name):
        code = self.children[name].poll()
        if code is not None:
            raise RuntimeError(
                "%s exited with status %d; its log:\n%s" % (name, code, self.tail_logs(name))
            )
        return True

    def _wait_for_controller(self):
        def up():
            self._check_child("slurmctld")
            return self.run("scontrol", "ping", check=False).stdout.find("UP") >= 0

        _wait_for("slurmctld", up, 60)

    def _node_idle(self):
        for name in self.children:
            self._check_child(name)
        state = self.run("sinfo", "-h", "-N", "-o", "%t", check=False).stdout.split()
        return state == ["idle"]

    def tail_logs(self, *names, lines=30):
        out = []
        files = {
            "munged": "munge/munged.log",
            "slurmctld": "log/slurmctld.log",
            "slurmd": "log/slurmd.log",
        }
        for name in names or DAEMONS:
            for f in (files[name], "log/%s.out" % name):
                try:
                    with open(self.path(f), errors="replace") as h:
                        text = h.read().splitlines()[-lines:]
                except OSError:
                    continue
                out.append("--- %s\n%s" % (f, "\n".join(text)))
        return "\n".join(out)

    def children_alive(self):
        return [c.pid for c in self.children.values() if c.poll() is None]

    def _ours(self):
        """Every process started under this cluster's slurm.conf: step daemons, jobs and theirs."""
        marker = ("SLURM_CONF=" + self.path("slurm.conf")).encode()
        pids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if marker in f.read().split(b"\0"):
                        pids.append(int(entry))
            except OSError:
                pass
        return pids

    def stop(self):
        if self.root is None or self.stopped:
            return
        self.stopped = True
        for name, pidfile in (
            ("slurmd", "slurmd.pid"),
            ("slurmctld", "slurmctld.pid"),
            ("munged", "munge/munged.pid"),
        ):
            pids = set()
            try:
                with open(self.path(pidfile)) as f:
                    pids.add(int(f.read().split()[0]))
            except (OSError, ValueError, IndexError):
                pass
            child = self.children.get(name)
            if child is not None and child.poll() is None:
                pids.add(child.pid)
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            if child is not None:
                try:
                    child.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
        # Step daemons and jobs run on past slurmd; end them by pid, only ours.
        for _ in range(50):
            left = self._ours()
            if not left:
                break
            for pid in left:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)
        if not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
