#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
#   ./build.sh run    install what is missing, build, start Tabwright
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh build  install what is missing and build
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
  poppler-utils
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
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
  *)
    echo "usage: $0 run|test|build" >&2
    exit 2
    ;;
esac
