#!/usr/bin/env bash
# Drives the krxsql shell: creating a file, texts cut at GO lines, engine
# errors printed and the run going on, exit status, missing and existing
# files, passwords. $1 is the build directory.
set -u
KRXSQL="$1/bin/krxsql"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export ASAN_OPTIONS=detect_leaks=0
failures=0

expect() {  # name, expected status, expected output file, actual output file, actual status
  if ! diff -u "$3" "$4"; then
    echo "FAIL $1: output differs"; failures=$((failures + 1))
  fi
  if [ "$2" != "$5" ]; then
    echo "FAIL $1: exit status $5, expected $2"; failures=$((failures + 1))
  fi
}

cd "$WORK"

# A new file; an empty input runs nothing and succeeds.
"$KRXSQL" --create --page-size 8192 --extent 4 --max-connections 20 cpbill </dev/null >out.txt; status=$?
: >want.txt
expect create 0 want.txt out.txt $status
[ -s cpbill ] || { echo "FAIL create: no file"; failures=$((failures + 1)); }

# Creating over an existing file is an error and leaves it alone.
size_before=$(stat -c %s cpbill)
"$KRXSQL" --create cpbill </dev/null >out.txt; status=$?
echo "ERROR: Cannot create database. File 'cpbill' already exists - Native error: 22005" >want.txt
expect create-existing 1 want.txt out.txt $status
[ "$(stat -c %s cpbill)" = "$size_before" ] || { echo "FAIL create-existing: file changed"; failures=$((failures + 1)); }

# Texts cut at GO lines (any case, blanks around), each error reported with
# the engine's message and the shell going on to the next text.
printf "select '型号 from cqproduct\n  go  \n\nGO\nselect fname\nfrom t where\nGo\nselect (1 from t" \
  | "$KRXSQL" cpbill >out.txt; status=$?
cat >want.txt <<'WANT'
ERROR: Unterminated string at line 1, column 8 - Native error: 30061
ERROR: Unexpected end of SQL command found at line 2, column 8 - Native error: 30066
ERROR: Missing symbol ')' at line 1, column 8 - Native error: 30059
WANT
expect go-texts 1 want.txt out.txt $status

# SQL on the command line is one run; one character is no statement.
"$KRXSQL" cpbill "x" >out.txt; status=$?
echo "ERROR: No SQL statement available - Native error: 30142" >want.txt
expect one-character 1 want.txt out.txt $status

# A missing file names its path.
"$KRXSQL" nothing-here "select 1 from t" >out.txt; status=$?
echo "ERROR: Database file 'nothing-here' does not exist - Native error: 22002" >want.txt
expect missing-file 1 want.txt out.txt $status

# An enciphered file opens only with its password.
"$KRXSQL" --create --cipher 1 --password 开单 secret </dev/null >out.txt; status=$?
: >want.txt
expect create-secret 0 want.txt out.txt $status
"$KRXSQL" --password wrong secret </dev/null >out.txt; status=$?
echo "ERROR: Cannot open database because incorrect password - Native error: 30445" >want.txt
expect wrong-password 1 want.txt out.txt $status
"$KRXSQL" --password 开单 secret </dev/null >out.txt; status=$?
: >want.txt
expect right-password 0 want.txt out.txt $status

# Bad arguments are a usage error.
"$KRXSQL" --page-size lots cpbill >/dev/null 2>&1; status=$?
[ $status = 2 ] || { echo "FAIL usage: status $status"; failures=$((failures + 1)); }

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "krxsql shell: all cases pass"
