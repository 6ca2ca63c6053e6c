"""One run: a generator command line piped into a solver command line, both
supervised (procs); the row's result fields from the problem line, the
solver's report, exit statuses, peak memory and time."""

import errno
import os
import re
import shlex
import shutil
import signal
import subprocess
import tempfile
import time

from .procs import Watch, first_line, kill_group, reap, start
from .table import RESULT_COLUMNS

PROBLEM_LINE = re.compile(rb"^p[ \t]+\S+[ \t]+(\d+)[ \t]+(\d+)[ \t]*\r?\n", re.M)
REPORT_PATTERNS = {
    "relabels": re.compile(r"^c relabels:\s*(\d+)\s+pushes:\s*(\d+)\s*$", re.M),
    "ttime": re.compile(r"^c ttime:\s*([0-9.]+)\s*$", re.M),
    "dtime": re.compile(r"^c dtime:\s*([0-9.]+)\s*$", re.M),
    "calc_time": re.compile(r"^Time for calculating the cuts:\s*([0-9.]+)\s*$", re.M),
    "manip_time": re.compile(r"^Time for manipulating the cuts:\s*([0-9.]+)\s*$", re.M),
}
HEADER_LIMIT = 1 << 20


def resolve_program(name, build):
    """Path of a program named in a command line; None if there is none."""
    if "/" in name:
        return name
    for folder in ("generators", name):
        path = os.path.join(build, folder, name)
        if os.path.isfile(path) and os.access(path, os.X_OK):
            return path
    return shutil.which(name)


def write_all(fd, data):
    view = memoryview(data)
    while view:
        view = view[os.write(fd, view):]


def pump(fin, fout):
    """Copies the generator's output into the solver and returns the problem
    line's two numbers (None if there was none). Stops early when the solver
    no longer reads. Closes both descriptors."""
    head, found = b"", None
    try:
        while found is None and len(head) < HEADER_LIMIT:
            chunk = os.read(fin, 1 << 16)
            if not chunk:
                return None
            head += chunk
            match = PROBLEM_LINE.search(head)
            if match:
                found = (int(match.group(1)), int(match.group(2)))
            write_all(fout, chunk)
        copy_rest(fin, fout)
    except OSError as err:
        if err.errno not in (errno.EPIPE, errno.EBADF):
            raise
    finally:
        os.close(fin)
        os.close(fout)
    return found


def copy_rest(fin, fout):
    try:
        while os.splice(fin, fout, 1 << 20):
            pass
        return
    except (AttributeError, OSError) as err:
        if isinstance(err, OSError) and err.errno not in (errno.EINVAL, errno.ENOSYS):
            raise
    while True:
        chunk = os.read(fin, 1 << 16)
        if not chunk:
            return
        write_all(fout, chunk)


def last_line(data):
    lines = [ln for ln in data.decode("utf-8", "replace").splitlines() if ln.strip()]
    return lines[-1].strip()[:300] if lines else ""


def describe_exit(code):
    if code < 0:
        try:
            return f"killed by {signal.Signals(-code).name}"
        except ValueError:
            return f"killed by signal {-code}"
    return f"exited with status {code}"


def parse_report(text):
    values = {}
    for column, pattern in REPORT_PATTERNS.items():
        match = pattern.search(text)
        if not match:
            continue
        values[column] = match.group(1)
        if column == "relabels":
            values["pushes"] = match.group(2)
    return values


def read_path(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


def read_file(f):
    f.seek(0)
    return f.read()


def execute(run, build, timeout):
    """Runs one generator into the solver; returns the row's result fields."""
    row = dict.fromkeys(RESULT_COLUMNS, "")
    row["status"] = "fail"
    try:
        gen_argv, sol_argv = shlex.split(run.generator), shlex.split(run.solver)
    except ValueError as err:
        row["error"] = f"bad command line: {err}"
        return row
    if not gen_argv or not sol_argv:
        row["error"] = "empty command line"
        return row
    for argv, role in ((gen_argv, "generator"), (sol_argv, "solver")):
        path = resolve_program(argv[0], build)
        if path is None:
            row["error"] = f"cannot start {role} {argv[0]}: no such program"
            return row
        argv[0] = path
    with tempfile.TemporaryDirectory(prefix="experiments-run-") as scratch, \
            tempfile.TemporaryFile() as sol_out:
        gen_err, sol_err = os.path.join(scratch, "generator.err"), os.path.join(scratch, "solver.err")
        began = time.monotonic()
        gen_read, gen_write = os.pipe()
        sol_read, sol_write = os.pipe()
        children = []
        try:
            children.append(start(gen_argv, subprocess.DEVNULL, gen_write, gen_err))
            children.append(start(sol_argv, sol_read, sol_out, sol_err))
        except OSError as err:
            row["error"] = f"cannot start {' '.join(gen_argv + ['|'] + sol_argv)}: {err.strerror}"
        finally:
            os.close(gen_write)
            os.close(sol_read)
        if row["error"]:
            os.close(gen_read)
            os.close(sol_write)
            kill_group(children)
            for child in children:
                reap(child)
            return row
        gen, sol = children
        with Watch(children, timeout) as watch:
            header = pump(gen_read, sol_write)
            gen_code, gen_rss = reap(gen)
            sol_code, sol_rss = reap(sol)
        row["wall_time"] = f"{time.monotonic() - began:.3f}"
        row["generator_maxrss_kb"], row["solver_maxrss_kb"] = gen_rss, sol_rss
        row["generator_exit"], row["solver_exit"] = gen_code, sol_code
        if header:
            row["n"], row["m"] = header
        output = read_file(sol_out)
        row.update(parse_report(output.decode("utf-8", "replace")))
        classify(row, watch.expired.is_set(), timeout, header, read_path(gen_err), output,
                 read_path(sol_err))
    return row


def classify(row, timed_out, timeout, header, gen_err, sol_out, sol_err):
    gen_code, sol_code = row["generator_exit"], row["solver_exit"]
    missing = [c for c in REPORT_PATTERNS if c not in row or row[c] == ""]
    if timed_out:
        row["status"] = "timeout"
        row["error"] = f"timed out after {timeout:g} s"
    elif "" in (gen_code, sol_code):
        row["error"] = "exit status lost (a program was reaped by another process)"
    elif gen_code != 0 and not (gen_code == -signal.SIGPIPE and sol_code != 0):
        row["error"] = f"generator {describe_exit(gen_code)}"
        if first_line(gen_err):
            row["error"] += ": " + first_line(gen_err)
    elif sol_code != 0:
        message = first_line(sol_err) or last_line(sol_out)
        row["error"] = f"solver {describe_exit(sol_code)}" + (": " + message if message else "")
    elif header is None:
        row["error"] = "the generator wrote no problem line"
    elif missing:
        row["error"] = "the solver's report lacks " + ", ".join(missing)
    else:
        row["status"] = "ok"
    return row
