"""CSV files and text outputs: the runner's columns, rows as text, files
whose write failures end the program (status 74, or quietly on a closed
pipe), and reading a CSV back."""

import csv
import errno
import io
import os
import signal
import sys

from .errors import EXIT_WRITE, UsageError
from .procs import kill_all_runs

# Columns before the sweep variables, the sweep variables, then these.
LEAD_COLUMNS = ["family"]
KEY_COLUMNS = ["size", "seed", "generator", "solver"]
RESULT_COLUMNS = [
    "status", "n", "m", "relabels", "pushes", "ttime", "dtime", "calc_time",
    "manip_time", "wall_time", "solver_maxrss_kb", "generator_maxrss_kb",
    "generator_exit", "solver_exit", "error",
]
TIME_COLUMNS = ["ttime", "dtime", "calc_time", "manip_time", "wall_time"]


def sweep_columns(header):
    """The swept names among a CSV's columns."""
    return [c for c in header if c not in LEAD_COLUMNS + KEY_COLUMNS + RESULT_COLUMNS]


def emit(text):
    """Text on standard error; a failure there is not reported."""
    try:
        sys.stderr.write(text)
        sys.stderr.flush()
    except OSError:
        pass


def write_failed(err, name=None):
    """A failed write ends the program with status 74; a closed pipe ends it
    quietly, by SIGPIPE, as for any other program of a pipeline."""
    kill_all_runs()
    if err.errno == errno.EPIPE:
        signal.signal(signal.SIGPIPE, signal.SIG_DFL)
        os.kill(os.getpid(), signal.SIGPIPE)
        os._exit(128 + signal.SIGPIPE)
    reason = err.strerror or str(err)
    if name:
        reason = f"{name}: {reason}"
    emit(f"Error: cannot write output: {reason}\n")
    os._exit(EXIT_WRITE)


class Output:
    """A text output (standard output or a file) whose write failures end
    the program."""

    def __init__(self, path=None, mode="w"):
        self.name = path if path not in (None, "-") else None
        try:
            self.stream = open(path, mode, newline="") if self.name else sys.stdout
        except OSError as err:
            write_failed(err, path)

    def write(self, text):
        try:
            self.stream.write(text)
        except OSError as err:
            write_failed(err, self.name)

    def flush(self):
        try:
            self.stream.flush()
        except OSError as err:
            write_failed(err, self.name)

    def close(self):
        self.flush()
        if self.name:
            try:
                self.stream.close()
            except OSError as err:
                write_failed(err, self.name)


def csv_line(values):
    """One CSV record as text."""
    text = io.StringIO()
    csv.writer(text, lineterminator="\n").writerow(values)
    return text.getvalue()


def write_text_file(path, text):
    out = Output(path)
    out.write(text)
    out.close()


def write_csv(path, columns, records):
    """A whole CSV file: the header, then one line per record (a dict; a
    missing column is empty)."""
    write_text_file(path, csv_line(columns) + "".join(
        csv_line([record.get(c, "") for c in columns]) for record in records))


def read_csv(path):
    """(header, rows) of a CSV file; ([], []) for an empty one."""
    try:
        with open(path, newline="", encoding="utf-8") as f:
            rows = list(csv.reader(f))
    except (OSError, UnicodeDecodeError, csv.Error) as err:
        raise UsageError(f"cannot read {path}: {getattr(err, 'strerror', None) or err}")
    return (rows[0], rows[1:]) if rows else ([], [])


def done_keys(path, columns):
    """The key fields of the complete rows of a results file with these
    columns."""
    header, rows = read_csv(path)
    if not header:
        return set()
    if header != columns:
        raise UsageError(f"{path} has other columns than this grid's rows; use another file")
    width = len(columns) - len(RESULT_COLUMNS)
    return {tuple(r[:width]) for r in rows if len(r) == len(columns)}


def whole_rows_end(data):
    """The length of the whole records at the start of CSV text (bytes): up
    to the last line end outside a quoted field. Quotes inside a field are
    doubled, so a line end lies outside every field when an even number of
    quotes comes before it."""
    end, quoted = 0, False
    for k, byte in enumerate(data):
        if byte == ord('"'):
            quoted = not quoted
        elif byte == ord("\n") and not quoted:
            end = k + 1
    return end


def drop_cut_row(path):
    """Cuts a results file back to its whole records: a row (or header) that
    a kill cut short before its line end is dropped, so that its run counts
    as not done and the rows written next start on a line of their own.
    True when anything was dropped."""
    try:
        with open(path, "rb") as f:
            data = f.read()
        end = whole_rows_end(data)
        if end == len(data):
            return False
        os.truncate(path, end)
    except OSError as err:
        write_failed(err, path)
    return True


def has_content(path):
    return os.path.isfile(path) and os.path.getsize(path) > 0
