"""Prints where `cmake --install` puts the package sunder under a prefix, so
that the interpreter running this script finds it there.

    python3 site_dir.py PREFIX [--default-prefix]

  - PREFIX is a virtual environment (it has a pyvenv.cfg): its site-packages.
  - The interpreter searches a site directory under PREFIX/lib* (Debian's
    python3 and /usr/local: /usr/local/lib/python3.X/dist-packages; a pyenv
    interpreter and its own prefix): that directory.
  - --default-prefix (CMake chose the prefix, the user did not) and the
    interpreter searches nothing under it: the interpreter's own directory
    for installed packages, where pip would put them.
  - Any other prefix: PREFIX plus the layout of the interpreter's own site
    directory (Debian: PREFIX/lib/python3.X/dist-packages), for PYTHONPATH.
"""

import os
import site
import sys
import sysconfig


def site_dir(prefix, default_prefix):
    prefix = os.path.abspath(prefix)
    if os.path.isfile(os.path.join(prefix, "pyvenv.cfg")):
        scheme = "venv" if "venv" in sysconfig.get_scheme_names() else "posix_prefix"
        return sysconfig.get_path("platlib", scheme, vars={"base": prefix, "platbase": prefix})

    sites = site.getsitepackages() if hasattr(site, "getsitepackages") else []
    real_prefix = os.path.realpath(prefix)
    for directory in sites:
        real = os.path.realpath(directory)
        if not real.startswith(real_prefix.rstrip(os.sep) + os.sep):
            continue
        # /usr/local/lib/... hangs from /usr/local, not from /usr.
        if os.path.relpath(real, real_prefix).split(os.sep)[0].startswith("lib"):
            return directory

    if default_prefix:
        return sysconfig.get_path("platlib")

    for directory in sites:
        parts = directory.split(os.sep)
        for i in range(len(parts) - 1):
            if parts[i].startswith("lib") and parts[i + 1].startswith("python"):
                return os.path.join(prefix, *parts[i:])
    return sysconfig.get_path("platlib", "posix_prefix", vars={"base": prefix, "platbase": prefix})


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3) or sys.argv[2:] not in ([], ["--default-prefix"]):
        sys.exit("usage: site_dir.py PREFIX [--default-prefix]")
    print(site_dir(sys.argv[1], len(sys.argv) == 3))
