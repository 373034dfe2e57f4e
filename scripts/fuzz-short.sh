#!/usr/bin/env bash
# A short run of every libFuzzer target, each from its seed corpus. The sanitizer build makes the
# targets: expects `cmake --preset asan && cmake --build --preset asan` done. Exits non-zero when any
# target finds a crash, a leak or a sanitizer report; the failing input is left in the
# artifacts folder for a rerun: build/asan/fuzz/fuzz_<name> <artifact>.
#   FUZZ_SECONDS   seconds per target (default 20)
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
bin=build/asan/fuzz
artifacts=build/asan/fuzz-artifacts
mkdir -p "$artifacts"

shopt -s nullglob
targets=("$bin"/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz-short: no targets in $bin; build the asan preset first" >&2
    exit 2
fi

failed=0
for target in "${targets[@]}"; do
    [ -f "$target" ] && [ -x "$target" ] || continue  # not the build's _autogen folders
    name="${target##*/fuzz_}"
    seeds="fuzz/corpus/$name"
    # New inputs go to a scratch copy, so the seed corpus in the tree stays as committed.
    work="$(mktemp -d)"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    # The targets write their files under TMPDIR; those go when the run is over.
    scratch="$(mktemp -d)"
    log="$artifacts/$name.log"
    if TMPDIR="$scratch" "$target" "$work" -max_total_time="$seconds" -max_len=8192 \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/$name-" \
        -print_final_stats=1 >"$log" 2>&1; then
        summary="$(grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -1)"
        echo "fuzz-short: $name ok: $summary"
    else
        echo "fuzz-short: $name FAILED; see $log" >&2
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" >&2
        failed=1
    fi
    rm -rf "$work" "$scratch"
done
exit $failed
