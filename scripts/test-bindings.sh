#!/bin/bash
# Builds, checks and tests the R package (r/) and the Python package (python/) on Debian's own
# R, Rcpp, pybind11 and numpy; nothing is fetched but Debian's packages. Each package compiles
# the core's sources once, at -O2 without debug information. Fails on any R CMD check ERROR or
# WARNING and on any failed test.
#   scripts/test-bindings.sh [r|python]   (both when not told)
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-both}

packages=(g++ libboost-dev libfmt-dev libfast-float-dev
          r-base-dev r-cran-rcpp r-cran-testthat
          python3-dev python3-pybind11 python3-numpy python3-pytest python3-setuptools
          python3-pip python3-venv)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "test-bindings: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
launcher=""
command -v ccache >/dev/null && launcher="ccache "
jobs=2

if [ "$which" != python ]; then
  started=$SECONDS
  # R's own flags carry -g; the package needs neither that nor the time it takes.
  printf 'CXX20 = %sg++\nCXX20FLAGS = -O2\n' "$launcher" > "$work/Makevars"
  "$tree/r/tools/sync-core.sh"
  (cd "$work" && R CMD build --no-build-vignettes --no-manual "$tree/r")
  tarball=$(ls "$work"/vortel_*.tar.gz)
  (cd "$work" && R_MAKEVARS_USER="$work/Makevars" MAKEFLAGS=-j$jobs NOT_CRAN=true \
     _R_CHECK_FORCE_SUGGESTS_=false R CMD check --no-manual "$tarball") || true
  log="$work/vortel.Rcheck/00check.log"
  if [ ! -f "$log" ] || grep -qE '(ERROR|WARNING)$' "$log"; then
    cat "$log" 2>/dev/null || true
    tail -n 60 "$work/vortel.Rcheck/tests/testthat.Rout.fail" 2>/dev/null || true
    echo "test-bindings: R CMD check found an error or a warning" >&2
    exit 1
  fi
  grep -E '(NOTE)$' "$log" || true
  echo "test-bindings: R package checked in $((SECONDS - started)) s"
fi

if [ "$which" != r ]; then
  started=$SECONDS
  /usr/bin/python3 -m venv --without-pip --system-site-packages "$work/venv"
  (cd "$tree" && CC="${launcher}g++" CXX="${launcher}g++" VORTEL_BUILD_JOBS=$jobs \
     "$work/venv/bin/python" -m pip install -q --no-build-isolation --no-deps --no-index ./python)
  rm -rf "$tree/python/build"
  # From the tests' folder, so that the installed package is imported, not the sources.
  (cd "$tree/python/tests" && "$work/venv/bin/python" -m pytest -q -p no:cacheprovider .)
  echo "test-bindings: Python package built and tested in $((SECONDS - started)) s"
fi
