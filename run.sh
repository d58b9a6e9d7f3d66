#!/usr/bin/env bash
# The project's commands:
#   ./run.sh demo [FILE]   install what the demo needs, build it, run the demo on an SQLite file
#   ./run.sh test          install what is missing, build, run every test
#   ./run.sh sanitize      the module's and the library's tests under AddressSanitizer and UBSan
#   ./run.sh bench         the benchmarks in bench/
set -euo pipefail
cd "$(dirname "$0")"
PYTHON=/usr/bin/python3

build() {  # build DIR [cmake options...] [--target TARGET...]
  local dir=$1; shift
  local options=() targets=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --target ]; then targets+=(--target "$2"); shift 2; else options+=("$1"); shift; fi
  done
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
  cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}

command=${1:-}
case "$command" in
  demo)
    # Only what the demo needs: the module, our library, the stub and the
    # package in build/lib (not the test double, the tests or the benchmarks).
    scripts/install-deps demo
    build build --target ketral_python
    PYTHONPATH=build/lib $PYTHON examples/demo.py "${2:-build/demo.sqlite}"
    ;;
  test)
    scripts/install-deps
    build build
    ctest --test-dir build --output-on-failure
    ;;
  sanitize)
    scripts/install-deps
    build build-asan -DKETRAL_SANITIZE=ON
    export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    build-asan/core_tests
    [ ! -x build-asan/store_tests ] || build-asan/store_tests
    # The interpreter is not instrumented: the sanitizer runtimes are preloaded
    # into it alone, and its allocations go through malloc so leaks are seen.
    san_python() {
      env LD_PRELOAD="$(gcc -print-file-name=libasan.so) $(gcc -print-file-name=libubsan.so)" \
          PYTHONMALLOC=malloc "$@"
    }
    PYTHONPATH=build-asan/fake KETRAL_FAKE_LIB=$PWD/build-asan/fake/libketral.so \
      san_python $PYTHON -m pytest -q tests/module
    PYTHONPATH=build-asan/lib san_python $PYTHON -m pytest -q tests/e2e
    PYTHONPATH=build-asan/lib san_python $PYTHON -m pytest -q tests/package
    ;;
  bench)
    scripts/install-deps
    build build
    for b in bench/*.py; do echo "== $b"; PYTHONPATH=build/lib $PYTHON "$b"; done
    ;;
  *)
    sed -n '2,6p' "$0"; exit 2
    ;;
esac
