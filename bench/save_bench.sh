#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times tabwright-cli save against the sqlite3 shell's .import on the same
# generated 1,000,000-line text of five fields: a new table filled by the
# delimiter method and by the column layout method (size checks on), and
# .import in CSV mode into a pre-created table, once a plain one and once
# the very table tabwright creates (with its size checks). Prints best-of-N
# wall times, rows per second and the ratio of times (tabwright / .import;
# at most 1.0 is the goal), and checks that every run stored every row.
#
# Usage: bench/save_bench.sh [path/to/tabwright-cli] [lines] [runs]
# The data lives in a temporary folder that is removed at the end.
set -eu

CLI=${1:-build-save/bin/tabwright-cli}
LINES=${2:-1000000}
RUNS=${3:-3}
[ -x "$CLI" ] || { echo "save_bench: no executable at $CLI (build tabwright-cli first)" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "save_bench: the sqlite3 shell is needed" >&2; exit 2; }
CLI=$(cd "$(dirname "$CLI")" && pwd)/$(basename "$CLI")
AWK=$(command -v mawk || command -v awk)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabwright-save-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM

# Five fields at fixed columns, separated by commas, CR LF line ends: the
# same file serves the delimiter method, the column layout and .import.
"$AWK" -v n="$LINES" 'BEGIN {
    for (i = 1; i <= n; i++)
        printf "%08d,%-20s,%10.2f,%-15s,x%010d\r\n", i, "name" (i * 7919 % 100000), \
               (i * 31 % 100000) / 100.0, "city" (i % 977), (i * 13) % 10000000000
}' > "$WORK/data.txt"
printf 'Id,1,8,0,8\nName,10,20,0,20\nAmount,31,10,0,10\nCity,42,15,0,15\nCode,58,11,0,11\n' > "$WORK/columns.csv"

now() { date +%s.%N; }

# best SECONDS of RUNS runs: $1 prepares a fresh database, $2 loads it.
best() {
    b=""
    for _ in $(seq "$RUNS"); do
        rm -f "$WORK/t.db" "$WORK/t.db-journal"
        sh -c "$1"
        start=$(now)
        sh -c "$2" 2>"$WORK/err" || { cat "$WORK/err" >&2; exit 1; }
        end=$(now)
        rows=$(sqlite3 "$WORK/t.db" 'SELECT count(*) FROM T')
        [ "$rows" = "$LINES" ] || { echo "save_bench: $rows rows stored, not $LINES" >&2; cat "$WORK/err" >&2; exit 1; }
        t=$(echo "$end - $start" | bc)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}

# The table tabwright creates, as the engine stores it, for .import.
"$CLI" save --db "$WORK/schema.db" --table T --create --columns "$WORK/columns.csv" \
    'databaseProcessMethod=Parse text using delimiter I specify' 'databaseDelimiter=,' \
    "$WORK/columns.csv" 2>/dev/null || true
SCHEMA=$(sqlite3 "$WORK/schema.db" '.schema T')
PLAIN='CREATE TABLE T (Id TEXT, Name TEXT, Amount TEXT, City TEXT, Code TEXT);'

tw_delim=$(best true "'$CLI' save --db '$WORK/t.db' --table T --create --columns '$WORK/columns.csv' \
    'databaseProcessMethod=Parse text using delimiter I specify' 'databaseDelimiter=,' '$WORK/data.txt'")
tw_cols=$(best true "'$CLI' save --db '$WORK/t.db' --table T --create --columns '$WORK/columns.csv' \
    'databaseProcessMethod=Use column specs on the Tabwrite Text tab' '$WORK/data.txt'")
imp_plain=$(best "sqlite3 '$WORK/t.db' '$PLAIN'" "sqlite3 '$WORK/t.db' '.import --csv $WORK/data.txt T'")
imp_same=$(best "sqlite3 '$WORK/t.db' \"\$(cat <<'SQL'
$SCHEMA
SQL
)\"" "sqlite3 '$WORK/t.db' '.import --csv $WORK/data.txt T'")

echo "$LINES lines of $(stat -c %s "$WORK/data.txt") bytes; best of $RUNS runs each"
printf '%-44s %8s %10s %14s %14s\n' job seconds rows/s "vs plain" "vs same table"
for job in "tabwright-cli save, delimiter:$tw_delim" "tabwright-cli save, column layout:$tw_cols" \
           ".import --csv, plain TEXT table:$imp_plain" ".import --csv, tabwright's table:$imp_same"; do
    name=${job%:*}; t=${job##*:}
    "$AWK" -v n="$name" -v t="$t" -v l="$LINES" -v p="$imp_plain" -v s="$imp_same" 'BEGIN {
        printf "%-44s %8.2f %10.0f %14.2f %14.2f\n", n, t, l / t, t / p, t / s }'
done
