#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times tabwright-cli against the standard tool doing the same job on a
# generated 1,000,000-line fixed-width text, once with CR LF and once with LF
# line ends. Prints, per job: best-of-N wall time of each, the ratio
# (tabwright / tool), tabwright's throughput in MB/s of input, its peak memory
# against the input size, and whether both wrote the same bytes.
#
# Usage: bench/cli_bench.sh [path/to/tabwright-cli] [lines] [runs]
# ONLY=pattern in the environment runs just the jobs whose name matches the
# (grep -E) pattern, e.g. ONLY='format|create'.
# The data lives in a temporary folder that is removed at the end.
set -eu

CLI=${1:-build-cli/bin/tabwright-cli}
LINES=${2:-1000000}
RUNS=${3:-3}
[ -x "$CLI" ] || { echo "cli_bench: no executable at $CLI (build tabwright-cli first)" >&2; exit 2; }
CLI=$(cd "$(dirname "$CLI")" && pwd)/$(basename "$CLI")
AWK=$(command -v mawk || command -v awk)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tabwright-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM

# Peak memory: GNU time when present, else a getrusage wrapper in Python.
if [ -x /usr/bin/time ] && /usr/bin/time -f %M true >/dev/null 2>&1; then
    measure() { /usr/bin/time -f "%e %M" -o "$WORK/rusage" "$@"; }
else
    measure() {
        python3 - "$WORK/rusage" "$@" <<'PY'
import resource, subprocess, sys, time
start = time.monotonic()
code = subprocess.call(sys.argv[2:])
elapsed = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
open(sys.argv[1], "w").write(f"{elapsed:.2f} {peak}\n")
sys.exit(code)
PY
    }
fi

# Fixed-width records of 68 characters: id, name, amount, city, code. Every
# line holds commas and the letter x, which the jobs below work on.
"$AWK" -v n="$LINES" 'BEGIN {
    for (i = 1; i <= n; i++)
        printf "%08d,%-20s,%10.2f,%-15s,x%010d\r\n", i, "name" (i * 7919 % 100000) "x", \
               (i * 31 % 100000) / 100.0, "city" (i % 977), (i * 13) % 10000000000
}' > "$WORK/crlf.txt"
tr -d '\r' < "$WORK/crlf.txt" > "$WORK/lf.txt"
printf 'Id,1,8,2\nName,10,20,2\nAmount,31,10,2\nCity,42,15,2\nCode,58,11,0\n' > "$WORK/columns.csv"

# best SECONDS PEAK_KB of RUNS runs of a shell command line (output to $WORK/out.*)
best() {
    b_time=""; b_mem=0
    for _ in $(seq "$RUNS"); do
        measure sh -c "$1"
        read -r t m < "$WORK/rusage"
        if [ -z "$b_time" ] || [ "$(echo "$t < $b_time" | bc)" = 1 ]; then b_time=$t; fi
        [ "$m" -gt "$b_mem" ] && b_mem=$m
    done
    echo "$b_time $b_mem"
}

printf '%-26s %-5s %7s %7s %6s %8s %9s %5s\n' job ends tw_s tool_s ratio tw_MB/s peak/input same
row() { # name ends input tabwright-command tool-command [compare-from-line]
    name=$1; ends=$2; input=$3; twcmd=$4; toolcmd=$5; from=${6:-1}
    if [ -n "${ONLY:-}" ] && ! printf '%s\n' "$name" | grep -Eq -- "$ONLY"; then return 0; fi
    set -- $(best "$twcmd > $WORK/out.tw"); tw_t=$1; tw_m=$2
    set -- $(best "$toolcmd > $WORK/out.tool"); tool_t=$1
    size=$(stat -c %s "$input")
    if [ "$from" = - ]; then same=n/a
    elif tail -n +"$from" "$WORK/out.tw" | cmp -s - "$WORK/out.tool"; then same=yes
    else same=no; fi
    awk -v n="$name" -v e="$ends" -v a="$tw_t" -v b="$tool_t" -v s="$size" -v m="$tw_m" -v same="$same" 'BEGIN {
        if (a < 0.01) a = 0.01; if (b < 0.01) b = 0.01
        printf "%-26s %-5s %7.2f %7.2f %6.2f %8.0f %8.2fx %5s\n", n, e, a, b, a / b, s / a / 1e6, m * 1024 / s, same }'
}

for ends in crlf lf; do
    in=$WORK/$ends.txt
    if [ "$ends" = crlf ]; then awkrs='BEGIN { RS = "\r\n"; ORS = "\r\n" }'; else awkrs=''; fi

    row "replace x -> y" "$ends" "$in" \
        "'$CLI' replace replaceText=x replaceWith=y '$in'" \
        "sed 's/x/y/g' '$in'"
    row "delete columns 10-30" "$ends" "$in" \
        "'$CLI' delete 'deleteText=General Delete' deleteFromCol=10 deleteNumOfChars=21 '$in'" \
        "cut --complement -c 10-30 '$in'"
    row "move columns 10-30 to end" "$ends" "$in" \
        "'$CLI' move 'textToMove=General Move' moveFromCol=10 moveNumOfChars=21 moveEndOfLine=1 '$in'" \
        "$AWK '$awkrs { print substr(\$0, 1, 9) substr(\$0, 31) substr(\$0, 10, 21) }' '$in'"
    # tr puts LF where tabwright puts the file's own line end, CR LF in a
    # CR LF file, so only the LF outputs can be compared.
    if [ "$ends" = lf ]; then cmpfrom=1; else cmpfrom=-; fi
    row "format new line at comma" "$ends" "$in" \
        "'$CLI' format formatDelimiter=, formatRemoveDelimiter=1 '$in'" \
        "tr , '\\n' < '$in'" "$cmpfrom"
    # tabwrite writes a header line first; the tool writes none, so the
    # comparison starts at the second line.
    row "tabwrite five ranges" "$ends" "$in" \
        "'$CLI' tabwrite --columns '$WORK/columns.csv' '$in'" \
        "$AWK '$awkrs { printf \"%s  %s  %s  %s  %s%s\", substr(\$0,1,8), substr(\$0,10,20), substr(\$0,31,10), substr(\$0,42,15), substr(\$0,58,11), ORS }' '$in'" 2
    row "create-line + break-lines" "$ends" "$in" \
        "'$CLI' create-line '$in' | '$CLI' break-lines startLineAfter=68" \
        "tr -d '\\r\\n' < '$in' | fold -w 68"
done
