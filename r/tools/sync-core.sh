#!/bin/sh
# Copies into this package what it builds from the rest of the VORTEL tree: the core's sources
# (no window toolkit), the example treatments and the desktop's golden outputs, and writes the
# Makevars that lists the core's objects. Run from anywhere before `R CMD build r` or
# `R CMD INSTALL r`; configure runs it too when the package sits in the VORTEL tree. The copies
# are not kept in git.
set -eu
pkg=$(cd "$(dirname "$0")/.." && pwd)
tree=$(cd "$pkg/.." && pwd)
if [ ! -f "$tree/src/cartesian/CartesianTest.h" ]; then
  echo "sync-core.sh: no VORTEL sources at $tree/src" >&2
  exit 1
fi
folders="shell/base shell/state letters sorting cartesian/result report cartesian bindings"
rm -rf "$pkg/src/core"
for f in $folders; do
  mkdir -p "$pkg/src/core/$f"
  cp -p "$tree/src/$f"/*.h "$tree/src/$f"/*.cpp "$pkg/src/core/$f/"
  for inc in "$tree/src/$f"/*.inc; do
    if [ -e "$inc" ]; then cp -p "$inc" "$pkg/src/core/$f/"; fi
  done
done
mkdir -p "$pkg/inst/extdata"
cp -p "$tree"/examples/treatment-[1-5].txt "$tree/examples/treatments-long.csv" "$pkg/inst/extdata/"
cp -p "$tree"/tests/data/examples/* "$pkg/inst/extdata/"

objects=$(cd "$pkg/src" && find core -name '*.cpp' | LC_ALL=C sort | sed 's/\.cpp$/.o/' | tr '\n' ' ')
cat > "$pkg/src/Makevars" <<MAKEVARS
# Written by tools/sync-core.sh.
CXX_STD = CXX20
PKG_CPPFLAGS = -Icore
PKG_LIBS = -pthread
OBJECTS = vortel.o $objects
MAKEVARS
