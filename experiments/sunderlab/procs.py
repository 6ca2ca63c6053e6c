"""Starting and supervising programs: process groups, time limits, and each
program's own peak memory (ru_maxrss from wait4).

Linux counts the memory a process had before exec in its peak, so a program
forked from this Python process would report at least this process's size. A
short-lived sh forks it instead and execs echo to print the pid (a shell that
exits instead may reap the program first); as a child subreaper this process
inherits the program and reaps it with its own peak. The program's standard
error goes to the file named by $0, and the sh's standard error to us, which
read the program's pid from it."""

import errno
import os
import signal
import subprocess
import threading
import time

LAUNCH = 'exec 3<&0; "$@" <&3 3<&- 2>"$0" & exec echo $! >&2'
PR_SET_CHILD_SUBREAPER = 36

LIVE = set()          # the children of the runs in progress, a tuple per run
REGISTRY_LOCK = threading.Lock()
LIVE_LOCK = threading.Lock()  # a child's reaping against its killing
_SUBREAPER = []


class Child:
    """A started program: its pid, its process group, its exit code once
    reaped."""

    def __init__(self, pid, group):
        self.pid, self.group, self.returncode = pid, group, None


def is_subreaper():
    """Makes this process a child subreaper, once; False where that fails."""
    if not _SUBREAPER:
        try:
            import ctypes
            libc = ctypes.CDLL(None, use_errno=True)
            _SUBREAPER.append(libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0)
        except (OSError, AttributeError):
            _SUBREAPER.append(False)
    return _SUBREAPER[0]


def first_line(data):
    for line in data.decode("utf-8", "replace").splitlines():
        if line.strip():
            return line.strip()[:300]
    return ""


def start(argv, stdin, stdout, err_path):
    """Starts argv in a process group of its own, standard error to err_path."""
    if not is_subreaper():
        with open(err_path, "wb") as err:
            proc = subprocess.Popen(argv, stdin=stdin, stdout=stdout, stderr=err,
                                    start_new_session=True)
        return Child(proc.pid, proc.pid)
    pid_in, pid_out = os.pipe()
    try:
        launcher = subprocess.Popen(["/bin/sh", "-c", LAUNCH, err_path] + argv, stdin=stdin,
                                    stdout=stdout, stderr=pid_out, start_new_session=True)
    finally:
        os.close(pid_out)
    with os.fdopen(pid_in, "rb") as f:
        text = f.read()
    launcher.wait()
    if not text.strip().isdigit():
        raise OSError(errno.ECHILD, "the launching shell failed: " + first_line(text))
    return Child(int(text), launcher.pid)


def kill_group(children):
    with LIVE_LOCK:
        for child in children:
            if child.returncode is None:
                try:
                    os.killpg(child.group, signal.SIGKILL)
                except OSError:
                    pass


def kill_all_runs():
    with REGISTRY_LOCK:
        running = list(LIVE)
    for children in running:
        kill_group(children)


def reap(child):
    """Waits for a child and returns its exit code (negative: the signal) and
    peak memory in KiB, both "" if the child was lost."""
    try:
        _, status, usage = os.wait4(child.pid, 0)
    except ChildProcessError:
        with LIVE_LOCK:
            child.returncode = ""
        return "", ""
    with LIVE_LOCK:
        child.returncode = os.waitstatus_to_exitcode(status)
    return child.returncode, usage.ru_maxrss


class Watch:
    """Registers running children (killed on interrupt) and kills them all
    when the time limit passes; `expired` tells whether it did."""

    def __init__(self, children, timeout):
        self.children = tuple(children)
        self.expired = threading.Event()
        self.timer = threading.Timer(timeout, self._expire) if timeout else None

    def _expire(self):
        self.expired.set()
        kill_group(self.children)

    def __enter__(self):
        with REGISTRY_LOCK:
            LIVE.add(self.children)
        if self.timer:
            self.timer.daemon = True
            self.timer.start()
        return self

    def __exit__(self, *exc):
        if self.timer:
            self.timer.cancel()
        with REGISTRY_LOCK:
            LIVE.discard(self.children)
        return False


class Finished:
    """How a program ended: exit code, peak memory (KiB), wall seconds, and
    whether the time limit stopped it."""

    def __init__(self, code, maxrss_kb, wall, timed_out):
        self.code, self.maxrss_kb, self.wall, self.timed_out = code, maxrss_kb, wall, timed_out


def run_limited(argv, stdin_path, stdout_path, err_path, timeout):
    """Runs one program, standard input from stdin_path (or nothing), output
    to the two files, killed past `timeout` seconds of wall time."""
    with open(stdin_path or os.devnull, "rb") as inp, open(stdout_path, "wb") as out:
        began = time.monotonic()
        child = start(argv, inp, out, err_path)
    with Watch([child], timeout) as watch:
        code, maxrss = reap(child)
    return Finished(code, maxrss, time.monotonic() - began, watch.expired.is_set())
