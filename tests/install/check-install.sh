#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks that everything lands
# where a Linux desktop looks for it, and that the installed command line
# finds its default database: copied into the user's data folder on first use.
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "install: $*" >&2; exit 1; }
for file in bin/tabwright bin/tabwright-cli share/tabwright/tabwright.mdb share/tabwright/QnA.html \
            share/applications/tabwright.desktop share/icons/hicolor/48x48/apps/tabwright.png \
            share/icons/hicolor/scalable/apps/tabwright.svg share/man/man1/tabwright-cli.1; do
  [ -e "$prefix/$file" ] || fail "missing $file"
done
[ -x "$prefix/bin/tabwright" ] && [ -x "$prefix/bin/tabwright-cli" ] || fail "programs not executable"
grep -q '^Exec=tabwright' "$prefix/share/applications/tabwright.desktop" || fail "desktop entry runs no tabwright"
# The window program answers --help on a console without a display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/tabwright" --help 2>&1 | grep -q 'Usage: ' \
  || fail "tabwright --help needs a display"

# First use as a user: the shipped database is copied into the data folder
# and used from there; the installed one is left as it was.
export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/.local/share
mkdir -p "$HOME"
shipped=$(md5sum < "$prefix/share/tabwright/tabwright.mdb")
"$prefix/bin/tabwright-cli" settings list > /dev/null || fail "the installed tabwright-cli found no default database"
user_db=$XDG_DATA_HOME/Tabwright/Tabwright/tabwright.mdb
[ -f "$user_db" ] || fail "no copy of the default database in $XDG_DATA_HOME/Tabwright/Tabwright"
# The help pages go with it: Help opens them from the same folder.
[ -f "$XDG_DATA_HOME/Tabwright/Tabwright/QnA.html" ] || fail "no copy of the help pages beside the database"
printf 'a;b\n' | "$prefix/bin/tabwright-cli" settings save Weekly 'formatDelimiter=;' > /dev/null \
  || fail "saving a settings into the user's database failed"
"$prefix/bin/tabwright-cli" settings list | grep -qx Weekly || fail "the settings did not reach the user's database"
[ "$(md5sum < "$prefix/share/tabwright/tabwright.mdb")" = "$shipped" ] || fail "the installed database was written"
echo "install: ok"
