"""python3 -m sunderlab: the experiment runner, as experiments/run starts it."""

from .cli import entry

entry()
