"""Grid files: families of generator command lines, their solvers and sweeps,
with {name} and integer-arithmetic placeholders."""

import ast
import itertools
import operator
import re

from .errors import UsageError
from .table import KEY_COLUMNS, LEAD_COLUMNS, RESULT_COLUMNS

GRID_HELP = """\
grid file (one item a line, '#' starts a comment):
  solver COMMAND          solver command for the family lines that follow
                          (default: sunder); several solver lines in a row
                          (before the next family line) run each instance
                          under every one of them
  sweep NAME V1 V2 ...    values of {NAME} for the family lines that follow;
                          each family runs once per value of every swept
                          name its generator or solver command uses, and
                          the CSV gets a column NAME
  family NAME sizes N1 N2 ... seeds K : GENERATOR COMMAND
                          one run per size and seed 1..K; the command uses
                          {n} and {seed}
  Placeholders may be integer expressions: {5*n}, {n//4}, {n+seed}
  (+ - * // %); '{{' and '}}' are literal braces.
  A program named without a '/' is looked up in BUILD/generators,
  BUILD/solver, BUILD/NAME, then on the PATH.
"""

PLACEHOLDER = re.compile(r"\{\{|\}\}|\{([^{}]*)\}")
OPERATORS = {
    ast.Add: operator.add, ast.Sub: operator.sub, ast.Mult: operator.mul,
    ast.FloorDiv: operator.floordiv, ast.Mod: operator.mod,
}


def evaluate(expr, values):
    """Value of one placeholder: a name, an integer, or integer arithmetic."""
    try:
        tree = ast.parse(expr.strip(), mode="eval")
    except SyntaxError:
        raise UsageError(f"bad placeholder {{{expr}}}") from None

    def value(node):
        if isinstance(node, ast.Constant) and type(node.value) is int:
            return node.value
        if isinstance(node, ast.Name):
            if node.id not in values:
                raise UsageError(f"unknown name '{node.id}' in {{{expr}}}")
            return values[node.id]
        if isinstance(node, ast.UnaryOp) and isinstance(node.op, ast.USub):
            return -number(node.operand)
        if isinstance(node, ast.BinOp) and type(node.op) in OPERATORS:
            left, right = number(node.left), number(node.right)
            if right == 0 and isinstance(node.op, (ast.FloorDiv, ast.Mod)):
                raise UsageError(f"division by zero in {{{expr}}}")
            return OPERATORS[type(node.op)](left, right)
        raise UsageError(f"bad placeholder {{{expr}}}: use names, integers and + - * // %")

    def number(node):
        v = value(node)
        if type(v) is not int:
            raise UsageError(f"arithmetic on the non-number {v!r} in {{{expr}}}")
        return v

    return value(tree.body)


def expand(template, values):
    def substitute(match):
        if match.group(0) in ("{{", "}}"):
            return match.group(0)[0]
        return str(evaluate(match.group(1), values))
    return PLACEHOLDER.sub(substitute, template)


def names_used(template):
    names = set()
    for match in PLACEHOLDER.finditer(template):
        if match.group(1) is None:
            continue
        try:
            tree = ast.parse(match.group(1).strip(), mode="eval")
        except SyntaxError:
            raise UsageError(f"bad placeholder {{{match.group(1)}}}") from None
        names.update(n.id for n in ast.walk(tree) if isinstance(n, ast.Name))
    return names


def sweep_value(text):
    return int(text) if re.fullmatch(r"-?\d+", text) else text


class Run:
    """One generator command line piped into one solver command line."""

    def __init__(self, family, variables, size, seed, generator, solver):
        self.family = family
        self.variables = variables  # swept name -> value, as text
        self.size = size
        self.seed = seed
        self.generator = generator
        self.solver = solver

    def key_fields(self, sweep_names):
        """The row's fields before the results; a run's identity in a CSV."""
        return ([self.family] + [self.variables.get(v, "") for v in sweep_names]
                + [str(self.size), str(self.seed), self.generator, self.solver])


class Grid:
    def __init__(self, runs, sweep_names):
        self.runs = runs
        self.sweep_names = sweep_names

    def columns(self):
        return LEAD_COLUMNS + self.sweep_names + KEY_COLUMNS + RESULT_COLUMNS


def parse_family(rest):
    head, colon, command = rest.partition(":")
    command = command.strip()
    if not colon or not command:
        raise UsageError("a family line ends in ': GENERATOR COMMAND'")
    words = head.split()
    if not words:
        raise UsageError("a family needs a name")
    name, sizes, seeds, key = words[0], [], None, None
    for word in words[1:]:
        if word in ("sizes", "seeds"):
            key = word
        elif key == "sizes" and re.fullmatch(r"\d+", word):
            sizes.append(int(word))
        elif key == "seeds" and seeds is None and re.fullmatch(r"\d+", word):
            seeds = int(word)
        else:
            raise UsageError(f"unexpected '{word}' in family {name}")
    if not sizes:
        raise UsageError(f"family {name} has no sizes")
    if not seeds:
        raise UsageError(f"family {name} needs 'seeds K' with K >= 1")
    return name, sizes, seeds, command


def family_runs(name, sizes, seeds, command, solvers, sweeps):
    """The family's runs: per size, per seed, per solver, per value of each
    swept name that the generator or that solver uses."""
    swept = []
    for solver in solvers:
        used = names_used(command) | names_used(solver)
        for unknown in sorted(used - {"n", "seed"} - set(sweeps)):
            raise UsageError(f"unknown name '{unknown}' in family {name}")
        swept.append([v for v in sweeps if v in used])
    runs = []
    for size, seed in itertools.product(sizes, range(1, seeds + 1)):
        for solver, names in zip(solvers, swept):
            for values in itertools.product(*(sweeps[v] for v in names)):
                variables = dict(zip(names, values))
                scope = dict(variables, n=size, seed=seed)
                runs.append(Run(name, {v: str(x) for v, x in variables.items()}, size, seed,
                                expand(command, scope), expand(solver, scope)))
    return runs


def parse_grid(path):
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except (OSError, UnicodeDecodeError) as err:
        raise UsageError(f"cannot read grid {path}: {getattr(err, 'strerror', None) or err}")
    solvers, adding, sweeps, sweep_names, runs = ["sunder"], False, {}, [], []
    for number, raw in enumerate(lines, 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        word, _, rest = line.partition(" ")
        rest = rest.strip()
        try:
            if word == "solver":
                if not rest:
                    raise UsageError("'solver' needs a command")
                if adding and rest in solvers:
                    raise UsageError(f"solver '{rest}' given twice")
                solvers = solvers + [rest] if adding else [rest]
                adding = True
            elif word == "sweep":
                parts = rest.split()
                if len(parts) < 2 or not parts[0].isidentifier() or parts[0] in ("n", "seed"):
                    raise UsageError("'sweep NAME V1 V2 ...' with a name other than n and seed")
                sweeps[parts[0]] = [sweep_value(v) for v in parts[1:]]
                if parts[0] not in sweep_names:
                    sweep_names.append(parts[0])
            elif word == "family":
                runs += family_runs(*parse_family(rest), solvers, sweeps)
                adding = False
            else:
                raise UsageError(f"unknown line '{word}' (solver, sweep or family)")
        except UsageError as err:
            raise UsageError(f"{path}:{number}: {err}") from None
    if not runs:
        raise UsageError(f"{path}: no family lines")
    used = [v for v in sweep_names if any(v in r.variables for r in runs)]
    return Grid(runs, used)
