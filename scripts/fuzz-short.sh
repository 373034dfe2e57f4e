#!/usr/bin/env bash
# A short run of every libFuzzer target, each from its seed corpus. The sanitizer build makes the
# targets: expects `cmake --preset asan && cmake --build --preset asan` done. Exits non-zero when any
# target finds a crash, a leak or a sanitizer report; the failing input is left in the
# artifacts folder for a rerun: build/asan/fuzz/fuzz_<name> <artifact>.
#   FUZZ_SECONDS   seconds per target (default 20)
#   FUZZ_JOBS      targets run at once (default 2)
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

# Each target runs on one core: two at a time, so a 2-core machine does both halves at once.
fuzz_one() {
    local target="$1" name="${1##*/fuzz_}"
    local seeds="fuzz/corpus/$name" work scratch log="$artifacts/$name.log"
    # New inputs go to a scratch copy, so the seed corpus in the tree stays as committed.
    work="$(mktemp -d)"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    # The targets write their files under TMPDIR; those go when the run is over.
    scratch="$(mktemp -d)"
    local status=0
    if TMPDIR="$scratch" "$target" "$work" -max_total_time="$seconds" -max_len=8192 \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/$name-" \
        -print_final_stats=1 >"$log" 2>&1; then
        echo "fuzz-short: $name ok: $(grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -1)"
    else
        {
            echo "fuzz-short: $name FAILED; see $log"
            grep -E 'ERROR|SUMMARY|Test unit written' "$log"
        } >&2
        status=1
    fi
    rm -rf "$work" "$scratch"
    return $status
}

parallel="${FUZZ_JOBS:-2}"
failed=0
running=0
for target in "${targets[@]}"; do
    [ -f "$target" ] && [ -x "$target" ] || continue  # not the build's _autogen folders
    if ((running >= parallel)); then
        wait -n || failed=1
        running=$((running - 1))
    fi
    fuzz_one "$target" &
    running=$((running + 1))
done
while ((running > 0)); do
    wait -n || failed=1
    running=$((running - 1))
done
exit $failed
