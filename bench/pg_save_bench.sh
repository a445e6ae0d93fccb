#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times tabwright-cli save into a PostgreSQL table against psql's \copy on
# the same generated 1,000,000-line text of five fields as save_bench.sh: a
# new table filled by the delimiter method and by the column layout method
# (size checks on), and \copy in CSV mode into a pre-created table, once a
# plain one and once the very table tabwright creates (varchar(n) and its
# checks). Prints best-of-N wall times, rows per second and the ratio of
# times (tabwright / \copy; at most 1.0 is the goal), and checks that every
# run stored every row.
#
# The server is one of the bench's own: a new cluster in a temporary folder
# on a free port of 127.0.0.1 (as the "postgres" user when run as root),
# removed at the end with the data.
#
# Usage: bench/pg_save_bench.sh [path/to/tabwright-cli] [lines] [runs]
set -eu

CLI=${1:-build/bin/tabwright-cli}
LINES=${2:-1000000}
RUNS=${3:-3}
[ -x "$CLI" ] || { echo "pg_save_bench: no executable at $CLI (build tabwright-cli first)" >&2; exit 2; }
CLI=$(cd "$(dirname "$CLI")" && pwd)/$(basename "$CLI")
PGBIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$PGBIN/initdb" ] || { echo "pg_save_bench: no PostgreSQL server under /usr/lib/postgresql" >&2; exit 2; }
command -v psql >/dev/null || { echo "pg_save_bench: psql is needed" >&2; exit 2; }
AWK=$(command -v mawk || command -v awk)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabwright-pg-bench.XXXXXX")
chmod 755 "$WORK"
AS=""
if [ "$(id -u)" = 0 ]; then AS="runuser -u postgres --"; fi
mkdir "$WORK/cluster" "$WORK/run"
[ -z "$AS" ] || chown postgres "$WORK/cluster" "$WORK/run"
stop() {
    [ ! -f "$WORK/cluster/postmaster.pid" ] || $AS "$PGBIN/pg_ctl" -D "$WORK/cluster" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap stop EXIT INT TERM

PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
$AS "$PGBIN/initdb" -D "$WORK/cluster" -U bench -A trust -E UTF8 --no-locale >/dev/null
$AS "$PGBIN/pg_ctl" -D "$WORK/cluster" -l "$WORK/run/log" -w \
    -o "-p $PORT -k $WORK/run -c listen_addresses=127.0.0.1" start >/dev/null
DB="postgresql://bench@127.0.0.1:$PORT/postgres"
sql() { psql -X -q -t -A -d "$DB" -v ON_ERROR_STOP=1 -c "$1"; }

# Five fields at fixed columns, separated by commas, CR LF line ends: the
# same file serves the delimiter method, the column layout and \copy.
"$AWK" -v n="$LINES" 'BEGIN {
    for (i = 1; i <= n; i++)
        printf "%08d,%-20s,%10.2f,%-15s,x%010d\r\n", i, "name" (i * 7919 % 100000), \
               (i * 31 % 100000) / 100.0, "city" (i % 977), (i * 13) % 10000000000
}' > "$WORK/data.txt"
chmod 644 "$WORK/data.txt"
printf 'Id,1,8,0,8\nName,10,20,0,20\nAmount,31,10,0,10\nCity,42,15,0,15\nCode,58,11,0,11\n' > "$WORK/columns.csv"

now() { date +%s.%N; }

# best SECONDS of RUNS runs: $1 prepares a fresh table, $2 loads it.
best() {
    b=""
    for _ in $(seq "$RUNS"); do
        sql 'SET client_min_messages = warning; DROP TABLE IF EXISTS "T"'
        sh -c "$1"
        start=$(now)
        sh -c "$2" 2>"$WORK/err" >/dev/null || { cat "$WORK/err" >&2; exit 1; }
        end=$(now)
        rows=$(sql 'SELECT count(*) FROM "T"')
        [ "$rows" = "$LINES" ] || { echo "pg_save_bench: $rows rows stored, not $LINES" >&2; cat "$WORK/err" >&2; exit 1; }
        t=$(echo "$end - $start" | bc)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}

SAVE="'$CLI' save --db '$DB' --table T --create --columns '$WORK/columns.csv'"
DELIM="'databaseProcessMethod=Parse text using delimiter I specify' 'databaseDelimiter=,'"
LAYOUT="'databaseProcessMethod=Use column specs on the Tabwrite Text tab'"
# The table tabwright creates, made by tabwright and emptied, for \copy.
SAME="$SAVE $DELIM '$WORK/columns.csv' && psql -X -q -d '$DB' -c 'TRUNCATE \"T\"'"
PLAIN="psql -X -q -d '$DB' -c 'CREATE TABLE \"T\" (\"Id\" text, \"Name\" text, \"Amount\" text, \"City\" text, \"Code\" text)'"
COPY="psql -X -q -d '$DB' -c \"\\\\copy \\\"T\\\" from '$WORK/data.txt' csv\""

tw_delim=$(best true "$SAVE $DELIM '$WORK/data.txt'")
tw_cols=$(best true "$SAVE $LAYOUT '$WORK/data.txt'")
copy_plain=$(best "$PLAIN" "$COPY")
copy_same=$(best "{ $SAME; } >/dev/null 2>&1" "$COPY")

echo "$LINES lines of $(stat -c %s "$WORK/data.txt") bytes into PostgreSQL $("$PGBIN/postgres" --version | $AWK '{ print $3 }'); best of $RUNS runs each"
printf '%-44s %8s %10s %14s %14s\n' job seconds rows/s "vs plain" "vs same table"
for job in "tabwright-cli save, delimiter:$tw_delim" "tabwright-cli save, column layout:$tw_cols" \
           "psql \\copy csv, plain text table:$copy_plain" "psql \\copy csv, tabwright's table:$copy_same"; do
    name=${job%:*}; t=${job##*:}
    "$AWK" -v n="$name" -v t="$t" -v l="$LINES" -v p="$copy_plain" -v s="$copy_same" 'BEGIN {
        printf "%-44s %8.2f %10.0f %14.2f %14.2f\n", n, t, l / t, t / p, t / s }'
done
