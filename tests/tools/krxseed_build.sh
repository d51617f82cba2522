#!/usr/bin/env bash
# Drives krxseed: the program's seed script makes a database whose every
# table holds the rows the script inserts; a failing script leaves neither
# its half-built file nor a changed output. $1 is the build directory.
set -u
KRXSEED="$1/bin/krxseed"
KRXSQL="$1/bin/krxsql"
SCRIPT="$(cd "$(dirname "$0")/../.." && pwd)/data/cpbill.sql"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export ASAN_OPTIONS=detect_leaks=0
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

cd "$WORK"

"$KRXSEED" "$SCRIPT" cpbill 2>err.txt || fail "seed: $(cat err.txt)"
[ -e cpbill.tmp ] && fail "seed: building file left behind"

# Every table of the script, with as many rows as the script inserts.
tables=$(grep -ioP '^\s*create\s+table\s+\K\w+' "$SCRIPT")
[ -n "$tables" ] || fail "seed: no tables found in the script"
for table in $tables; do
  want=$(grep -icP "^\s*insert\s+into\s+$table\b" "$SCRIPT")
  got=$("$KRXSQL" cpbill "select count(*) from $table" | sed -n 2p)
  [ "$got" = "$want" ] || fail "seed: $table has '$got' rows, the script inserts $want"
done

# A statement that fails stops the build and keeps the earlier output.
cp cpbill before
printf "create table t(a integer);\ninsert into nowhere values (1)" >bad.sql
"$KRXSEED" bad.sql cpbill 2>err.txt; status=$?
[ $status = 1 ] || fail "bad script: exit status $status"
grep -q "nowhere" err.txt || fail "bad script: message does not name the table: $(cat err.txt)"
cmp -s before cpbill || fail "bad script: output changed"
[ -e cpbill.tmp ] && fail "bad script: building file left behind"

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "krxseed: all cases pass"
