#!/usr/bin/env bash
# Builds the functional core natively with clang and runs every fuzz target for a bounded time
# under AddressSanitizer and UndefinedBehaviorSanitizer, starting from the corpora in fuzz/corpus.
# Exits non-zero on any finding; its input is kept in build-fuzz/findings/ (add it to the target's
# corpus as regression-<what> once the product code is mended).
#   CORV_FUZZ_SECONDS   time per target (default 20)
#   CORV_FUZZ_TARGETS   targets to run (default all)
set -euo pipefail
source "$(dirname "$0")/common.sh"
corv_install

build=${CORV_FUZZ_BUILD:-$CORV_ROOT/build-fuzz}
seconds=${CORV_FUZZ_SECONDS:-20}
targets=${CORV_FUZZ_TARGETS:-record pjl escape dyntext geometry stored}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S "$CORV_ROOT/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The longest input each target reads whole (records are 7672 bytes, a fuzzed job takes several).
max_len() {
  case $1 in
    record) echo 16000 ;; pjl) echo 12000 ;; escape) echo 24000 ;; dyntext) echo 12000 ;;
    geometry) echo 2000 ;; stored) echo 16000 ;;
  esac
}

passed=0 failed=0
mkdir -p "$build/findings"
for target in $targets; do
  # A fresh working corpus each run: what a run finds stays in the build folder, the tree's
  # corpus is only read.
  work="$build/corpus/$target"
  rm -rf "$work" && mkdir -p "$work"
  echo "fuzz_$target: ${seconds}s"
  if UBSAN_OPTIONS=print_stacktrace=1 "$build/fuzz_$target" "$work" "$CORV_ROOT/fuzz/corpus/$target" \
       -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/findings/$target-" -print_final_stats=1 >"$build/fuzz_$target.log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$build/fuzz_$target.log" | sed "s/^/  /"
    passed=$((passed + 1))
  else
    echo "fuzz_$target FAILED:"
    grep -E 'ERROR|runtime error|invariant broken|SUMMARY|Test unit written' "$build/fuzz_$target.log" | sed "s/^/  /"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
