#!/usr/bin/env bash
# One entry point for everything: set-up, build, start, tests, benchmarks, fuzzing.
#   ./korvane.sh start   install what the editor needs, build it and start it
#   ./korvane.sh test    install the test tools too, build everything and run every test (no display needed)
#   ./korvane.sh bench   install Google Benchmark too, build and run the benchmarks
#   ./korvane.sh fuzz    build the fuzz targets with clang (see fuzz/README.md)
#   ./korvane.sh package build the Debian package korvane_<version>_amd64.deb in build/
#   ./korvane.sh soak [MINUTES]  fresh seeds of the random session test under ASan and UBSan
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build="$root/build"

case "${1:-start}" in
  fuzz) bash scripts/bootstrap.sh clang libclang-rt-14-dev ;;
  test) bash scripts/bootstrap.sh --tests ;;
  bench) bash scripts/bootstrap.sh --bench ;;
  package) bash scripts/bootstrap.sh dpkg-dev file ;;
  *) bash scripts/bootstrap.sh ;;
esac

# Configured again each time (a few seconds), so that a library installed
# since, such as Google Benchmark after a first start, is found.
configure() {
  local gen=()
  if [ ! -f "$build/CMakeCache.txt" ]; then
    command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)
    gen+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  fi
  cmake -S "$root" -B "$build" "${gen[@]}" >/dev/null
}

build_all() {
  configure
  cmake --build "$build" --parallel "$(nproc)"
}

case "${1:-start}" in
  start)
    # The editor alone: the tests and benchmarks wait for their commands.
    configure
    cmake --build "$build" --parallel "$(nproc)" --target korvane
    exec "$build/korvane"
    ;;
  test)
    build_all
    count=$(cd "$build" && ctest -N | sed -n 's/^Total Tests: //p')
    if [ "${count:-0}" -eq 0 ]; then
      echo "No tests were built." >&2
      exit 1
    fi
    cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
    ;;
  bench)
    build_all
    # The benchmarks need no display; they run offscreen unless told otherwise.
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    # bench_open leaves the goals of the start and the open here, as a table
    # printed at the end, so that a slower start shows at once.
    export KORVANE_BENCH_GOALS="$build/bench/goals.txt"
    rm -f "$KORVANE_BENCH_GOALS"
    for b in "$build"/bench/bench_*; do
      if [ -f "$b" ] && [ -x "$b" ]; then "$b"; fi
    done
    if [ -f "$KORVANE_BENCH_GOALS" ]; then
      echo
      echo "Goals of the start and the open (each a ratio or measure of one run):"
      cat "$KORVANE_BENCH_GOALS"
    fi
    ;;
  fuzz)
    bash fuzz/build.sh
    ;;
  soak)
    # The random session test under the sanitizers, in a build tree of its own.
    soak="$root/build-soak"
    gen=()
    command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)
    [ -f "$soak/CMakeCache.txt" ] || cmake -S "$root" -B "$soak" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKORVANE_SANITIZE=ON -DKORVANE_BENCH=OFF
    cmake --build "$soak" --parallel "$(nproc)" --target korvane_session_soak
    export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1:suppressions=$root/tests/session/ubsan.supp}
    exec "$soak/tests/korvane_session_soak" --minutes "${2:-10}"
    ;;
  package)
    build_all
    cd "$build" && cpack -G DEB
    ls "$build"/korvane_*.deb
    ;;
  *)
    echo "usage: ./korvane.sh start|test|bench|fuzz|package|soak [MINUTES]" >&2
    exit 2
    ;;
esac
