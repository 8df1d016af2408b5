#!/usr/bin/env bash
# Fuzzes the workbook reader (fuzz_workbook.cpp: open the bytes, load every worksheet, every
# cell's text; .xlsx and .xls alike) with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, for a bounded time. Not part of scripts/test (the normal build
# replays the fixtures through the same target instead).
#
#   tests/drivers/xls/fuzz_xlsx.sh [seconds, default 120] [more libFuzzer options ...]
#
# Builds with clang-14 in build/fuzz, apart from the normal build. Seeds: the test fixtures
# (written by the normal build's fixture steps, run here if missing), the packages also with
# their parts stored uncompressed. New inputs collect in build/fuzz/corpus (kept from run to
# run; the leak pass at the end reads them all, a minute or two for twenty thousand); a crash,
# leak or time-out leaves its input in build/fuzz/crashes/ (replay it with
# build/fuzz/tests/drivers/xls/workbook_fuzzer FILE). Then the worksheet scanner is fuzzed
# against libxml2 (fuzz_xml_scanner.cpp) for a quarter of the time, from the XML parts of the
# seeds. Exits non-zero when anything was found.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=${SM_BUILD:-$root/build}
seconds=${1:-120}
shift $(($# > 0 ? 1 : 0))
out=$build/fuzz

if ! command -v clang++-14 >/dev/null || ! [ -d /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux ]; then
  echo "fuzz_xlsx: needs clang-14 with its sanitizer runtimes: apt-get install clang-14 libclang-rt-14-dev" >&2
  exit 1
fi
fixtures=$build/native/tests/drivers/xls/fixtures
if ! [ -f "$fixtures/xlsx_done" ]; then
  [ -d "$build/native" ] || { echo "fuzz_xlsx: build the project first (scripts/setup)" >&2; exit 1; }
  cmake --build "$build/native" --target xls_repack >/dev/null
  ctest --test-dir "$build/native" -R '^xlsx?_fixtures$' >/dev/null ||
    { echo "fuzz_xlsx: the fixtures could not be written" >&2; exit 1; }
fi

flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-sanitize-recover=undefined"
mkdir -p "$out"
if ! { cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Debug -DXLS_FUZZ=ON \
         -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
         "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" &&
       cmake --build "$out" --target workbook_fuzzer xml_scanner_fuzzer -j2; } >"$out/build.log" 2>&1; then
  tail -30 "$out/build.log" >&2
  exit 1
fi

# Seeds: the small fixtures as they are, and the packages with stored parts.
seeds=$out/seeds
rm -rf "$seeds"
mkdir -p "$seeds" "$out/corpus" "$out/crashes"
find "$fixtures" -maxdepth 1 -type f \( -name '*.xls' -o -name '*.xlsx' -o -name '*.xlsm' -o -name '*.xlsb' \) \
  -size -256k -exec cp {} "$seeds/" \;
/usr/bin/python3 - "$seeds" <<'PY'
import os, sys, zipfile
seeds = sys.argv[1]
for name in os.listdir(seeds):
    path = os.path.join(seeds, name)
    if not zipfile.is_zipfile(path):
        continue
    try:
        with zipfile.ZipFile(path) as src, zipfile.ZipFile(path + ".stored", "w", zipfile.ZIP_STORED) as dst:
            for item in src.infolist():
                dst.writestr(item.filename, src.read(item.filename))
    except Exception:
        pass  # the damaged ones stay as they are
PY

cd "$out"
fuzzer=$out/tests/drivers/xls/workbook_fuzzer
# First the fuzzing itself, leaks aside: finding them takes whole allocation stacks (glib is
# built without frame pointers), which slows every run several times over.
status=0
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 "$fuzzer" "$out/corpus" "$seeds" -dict="$here/fuzz_xlsx.dict" \
  -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=1048576 -detect_leaks=0 \
  -print_final_stats=1 -artifact_prefix="$out/crashes/" "$@" ||
  status=$?
# Then every input found, once, with leak detection; libgsf's own leak on damaged compound
# files is told apart from the driver's (fuzz_lsan.supp).
echo "fuzz_xlsx: looking for leaks in the $(ls "$out/corpus" | wc -l) inputs found"
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0 \
LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/fuzz_lsan.supp \
  "$fuzzer" "$out/corpus" -runs=0 -rss_limit_mb=2048 -timeout=10 -max_len=1048576 -detect_leaks=1 \
  -artifact_prefix="$out/crashes/" || status=$?

# The scanner against libxml2: seeds are the parts of the seed packages, each behind a byte
# that sets the size of the pieces it is fed in.
mkdir -p "$out/scanner_seeds" "$out/scanner_corpus"
/usr/bin/python3 - "$seeds" "$out/scanner_seeds" <<'PY'
import os, sys, zipfile
src, dst = sys.argv[1], sys.argv[2]
n = 0
for name in sorted(os.listdir(src)):
    try:
        with zipfile.ZipFile(os.path.join(src, name)) as z:
            for item in z.infolist():
                if item.file_size <= 65536 and item.filename.endswith((".xml", ".rels")):
                    with open(os.path.join(dst, "part%d" % n), "wb") as f:
                        f.write(bytes([n % 16]) + z.read(item.filename))
                    n += 1
    except Exception:
        pass  # not a package, or a damaged one
PY
"$out/tests/drivers/xls/xml_scanner_fuzzer" "$out/scanner_corpus" "$out/scanner_seeds"   -max_total_time=$((seconds / 4 + 1)) -rss_limit_mb=2048 -timeout=10 -print_final_stats=1   -artifact_prefix="$out/crashes/scanner-" || status=$?
exit "$status"
