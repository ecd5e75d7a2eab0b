#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one briefly on a copy of its seeds:
#   scripts/fuzz.sh [SECONDS]   (default 60, shared between the targets)
# Does nothing, successfully, when clang or libFuzzer is missing: fuzzing is optional.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
total="${1:-60}"

# target, seed folder, dictionary (or -)
targets=(
  "fuzz_gf fuzz/scene/corpus fuzz/scene/gf.dict"
  "fuzz_gavo_effect fuzz/effects/corpus/gavo -"
  "fuzz_collada_effect fuzz/effects/corpus/collada -"
  "fuzz_demo_ini fuzz/demo/corpus -"
  "fuzz_compiled_program fuzz/shaders/corpus -"
)

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ not found, skipped"
  exit 0
fi
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  > "$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1; then
  echo "fuzz: libFuzzer not found (Debian package libclang-rt-14-dev), skipped"
  exit 0
fi

dir="$here/build-fuzz"
if [ ! -f "$dir/build.ninja" ]; then
  mkdir -p "$dir"
  CC=clang CXX=clang++ cmake -S "$here" -B "$dir" -G Ninja -DGAVO_FUZZ=ON -DGAVO_SANITIZE=ON \
    -DGAVO_TESTS=OFF -DGAVO_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$dir/configure.log" 2>&1 || {
    cat "$dir/configure.log" >&2
    exit 1
  }
fi
names=()
for entry in "${targets[@]}"; do names+=("${entry%% *}"); done
cmake --build "$dir" --target "${names[@]}" >/dev/null
seconds=$(( total / ${#targets[@]} ))
for entry in "${targets[@]}"; do
  read -r name seeds dict <<< "$entry"
  corpus="$probe/$name"
  mkdir -p "$corpus"
  cp "$here/$seeds"/* "$corpus/"
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$dir/$name-")
  [ "$dict" != "-" ] && options+=(-dict="$here/$dict")
  echo "fuzz: $name for ${seconds}s"
  (cd "$probe" && "$dir/bin/$name" "${options[@]}" "$corpus" > "$probe/$name.log" 2>&1) || {
    tail -n 40 "$probe/$name.log" >&2
    echo "fuzz: $name failed; the input that failed is in $dir/$name-*" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units' "$probe/$name.log" || true
done
