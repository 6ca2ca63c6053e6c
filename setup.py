"""Builds the Python package sunder with the project's CMake build, for
setuptools (pyproject.toml names it as the build backend).

The extension sunder._sunder is not compiled by setuptools: build_ext runs
CMake on this checkout (an optimised Release build, without the tests and
benchmarks) in setuptools' temporary build directory, builds the target
sunder_python alone (the extension and the static library it links; no
programs, generators or tests), for the interpreter that runs this build,
and copies the extension into the package. sunder/__init__.py comes from
python/ as an ordinary package file. The version is SUNDER_VERSION of
include/sunder/sunder.h.

Environment: CMAKE_BUILD_PARALLEL_LEVEL (jobs, default: one per core),
CMAKE_ARGS (more -D options for the configure step).
"""

import os
import re
import shlex
import shutil
import subprocess
import sys
import sysconfig

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = os.path.dirname(os.path.abspath(__file__))
# Everything setuptools makes goes under build-pip/ (ignored by git, like
# every build*/ directory), away from the CMake build directory build/.
BUILD_BASE = "build-pip"


def read_version():
    with open(os.path.join(HERE, "include", "sunder", "sunder.h"), encoding="utf-8") as f:
        match = re.search(r'^#define SUNDER_VERSION "([0-9][0-9.]*)"', f.read(), re.MULTILINE)
    if not match:
        raise RuntimeError("no SUNDER_VERSION in include/sunder/sunder.h")
    return match.group(1)


class CMakeBuild(build_ext):
    """build_ext that runs the project's CMake build for each extension."""

    def build_extension(self, ext):
        if not os.path.isfile(os.path.join(HERE, "CMakeLists.txt")):
            raise RuntimeError(f"no CMakeLists.txt in {HERE}: sunder builds from the whole source tree")
        if shutil.which("cmake") is None:
            raise RuntimeError("cmake is needed to build sunder (Debian package cmake)")
        build_dir = os.path.join(os.path.abspath(self.build_temp), "cmake")
        os.makedirs(build_dir, exist_ok=True)
        configure = [
            "cmake", "-S", HERE, "-B", build_dir,
            "-DCMAKE_BUILD_TYPE=Release",
            "-DSUNDER_TESTS=OFF", "-DSUNDER_BENCH=OFF", "-DSUNDER_PEERS=OFF",
            "-DSUNDER_SANITIZE=OFF", "-DSUNDER_TSAN=OFF", "-DSUNDER_FUZZ=OFF",
            # The extension must fit the interpreter that runs this build
            # (a virtual environment's python included), not the default one.
            f"-DPython3_EXECUTABLE={sys.executable}",
        ] + shlex.split(os.environ.get("CMAKE_ARGS", ""))
        self.announce("configuring: " + " ".join(configure), level=2)
        subprocess.check_call(configure)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
        subprocess.check_call(["cmake", "--build", build_dir, "--target", "sunder_python", "-j", jobs])

        built = os.path.join(build_dir, "python", "sunder", "_sunder" + sysconfig.get_config_var("EXT_SUFFIX"))
        if not os.path.isfile(built):
            raise RuntimeError(f"the CMake build made no {built}: is pybind11-dev or python3-dev missing?")
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built, target)


os.makedirs(os.path.join(HERE, BUILD_BASE), exist_ok=True)
setup(
    version=read_version(),
    packages=["sunder"],
    package_dir={"": "python"},
    zip_safe=False,
    ext_modules=[Extension("sunder._sunder", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={
        "build": {"build_base": os.path.join(HERE, BUILD_BASE)},
        "egg_info": {"egg_base": os.path.join(HERE, BUILD_BASE)},
    },
)
