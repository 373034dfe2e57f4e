#!/usr/bin/env bash
# Makes the Debian package, installs it with apt (which brings the libraries it needs), runs the
# installed program's help and the example with it, then removes the package again. Refuses to
# run where vortel is installed already, so an installation of the user's is never replaced.
set -euo pipefail
cd "$(dirname "$0")/.."
if dpkg-query -W -f='${Status}' vortel 2>/dev/null | grep -q 'install ok installed'; then
    echo "check-deb: vortel is installed on this machine; remove it first (apt-get remove vortel)" >&2
    exit 2
fi
deb="$(bash scripts/build-deb.sh | tail -1)"
echo "check-deb: $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
work="$(mktemp -d)"
cleanup() {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y vortel >/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "$deb"

installed=/usr/bin/vortel
test -x "$installed"
test -f /usr/share/applications/vortel.desktop
test -f /usr/share/icons/hicolor/scalable/apps/vortel.svg
"$installed" --help

# The example with the clock fixed: the installed program must write the report the program
# just built writes.
mkdir "$work/installed" "$work/built"
cp examples/treatment-*.txt "$work/installed"/
cp examples/treatment-*.txt "$work/built"/
run() {
    local program="$1" folder="$2"
    SOURCE_DATE_EPOCH=1709802303 "$program" cartesian "$folder"/treatment-{1,2,3,4,5}.txt
}
report="$(run "$installed" "$work/installed")"
expected="$(run "$PWD/build/release/vortel" "$work/built")"
cat "$report"
cmp "$report" "$expected"
echo "check-deb: the installed program ran the example and wrote the expected report"
