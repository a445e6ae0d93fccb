#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
#   ./build.sh run    install what is missing, build, start Tabwright
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh build  install what is missing and build
#   ./build.sh fuzz   install what is missing, build the text engine's fuzz
#                     target with clang and run it over bench/fuzz/corpus for
#                     a minute (FUZZ_SECONDS) with a 2 GB memory limit
#
# Safe to run again: packages already present are not touched and Ninja only
# rebuilds what changed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="${TABWRIGHT_BUILD_DIR:-$here/build}"

packages=(
  cmake ninja-build g++ pkg-config python3
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
  libsqlite3-dev sqlite3 libqscintilla2-qt6-dev
  libqt6sql6-psql libpq-dev postgresql
  poppler-utils
)

# The fuzz target: clang, its libFuzzer and sanitizer runtimes.
fuzz_packages=(clang libclang-rt-14-dev)

install_missing() {
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_all() {
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build "$build" -j "$(nproc)"
}

case "${1:-}" in
  run)
    install_missing
    build_all
    exec "$build/bin/tabwright"
    ;;
  test)
    install_missing
    build_all
    # Every test runs on Qt's offscreen platform: no display is needed.
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
    ;;
  build)
    install_missing
    build_all
    ;;
  fuzz)
    install_missing "${fuzz_packages[@]}"
    fuzz_build="${TABWRIGHT_FUZZ_BUILD_DIR:-$here/build-fuzz}"
    if [ ! -f "$fuzz_build/build.ninja" ]; then
      cmake -S "$here" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DTABWRIGHT_FUZZ=ON
    fi
    cmake --build "$fuzz_build" -j "$(nproc)" --target fuzz_engine
    # New inputs the run finds go to a scratch folder; the corpus in the
    # repository stays as committed. A crash, a leak, a run past 25 s or past
    # 2 GB of memory fails the command and leaves the input in $fuzz_build.
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    "$fuzz_build/bin/fuzz_engine" -max_total_time="${FUZZ_SECONDS:-60}" -timeout=25 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$fuzz_build/" "$scratch" "$here/bench/fuzz/corpus"
    ;;
  *)
    echo "usage: $0 run|test|build|fuzz" >&2
    exit 2
    ;;
esac
