"""Exit statuses of the runner and the error that means a bad input."""

EXIT_OK = 0
EXIT_RUNS_FAILED = 1
EXIT_USAGE = 2
EXIT_PLOT = 3
EXIT_WRITE = 74
EXIT_INTERRUPTED = 130


class UsageError(Exception):
    """Bad arguments, grid file or CSV: status 2."""
