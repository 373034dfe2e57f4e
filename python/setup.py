# Builds the native module from the core's sources in ../src, with no window toolkit and nothing
# fetched: pybind11, numpy and the header-only libraries come from Debian's packages.
import glob
import os

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

here = os.path.dirname(os.path.abspath(__file__))
tree = os.path.normpath(os.path.join(here, "..", "src"))
folders = ["shell/base", "shell/state", "letters", "sorting", "cartesian/result", "report",
           "cartesian", "sortcount", "bindings"]
if not os.path.isfile(os.path.join(tree, "cartesian", "CartesianTest.h")):
    raise SystemExit("vortel: build from the VORTEL tree; the core's sources are not at " + tree)
core = sorted(s for f in folders for s in glob.glob(os.path.join(tree, f, "*.cpp")))
# Relative to this folder, as setuptools wants its sources named.
sources = [os.path.relpath(s, here) for s in [os.path.join(here, "src", "module.cpp")] + core]

ParallelCompile("VORTEL_BUILD_JOBS", default=2).install()

setup(
    ext_modules=[
        Pybind11Extension(
            "vortel._core",
            sources,
            include_dirs=[tree],
            cxx_std=20,
            define_macros=[("NDEBUG", None)],
            extra_compile_args=["-O2", "-g0"],
        )
    ],
    cmdclass={"build_ext": build_ext},
)
