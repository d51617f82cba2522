#!/usr/bin/env bash
# Drives the krxsql shell: creating a file, texts cut at GO lines, engine
# errors printed and the run going on, exit status, missing and existing
# files, passwords and ciphers. $1 is the build directory.
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

# An enciphered round trip for every cipher: rows in and out through the
# shell, the stored text nowhere in the file (ASCII or GB18030), and a wrong
# password refused with the file left as it was.
marker=QZXSHELLSECRETQZX
chinese=绝密屏蔽电缆
chinese_gb=$(printf '%s' "$chinese" | iconv -f UTF-8 -t GB18030)
for cipher in 0 1 2 3 4 5 6 7; do
  file=enc$cipher
  "$KRXSQL" --create --cipher $cipher --password "密码$cipher" $file </dev/null >out.txt; status=$?
  : >want.txt
  expect create-cipher-$cipher 0 want.txt out.txt $status
  cat >in.txt <<SQL
create table cqsecret(fitemid integer, fname varchar(60), fnote varchar(60))
GO
insert into cqsecret values (1, '$marker-$chinese', '$marker');
insert into cqsecret values (2, '${chinese}O''Brien', '$chinese')
GO
select fitemid, fname, fnote from cqsecret order by fitemid
SQL
  "$KRXSQL" --password "密码$cipher" $file <in.txt >out.txt; status=$?
  cat >want.txt <<WANT
OK 0
OK 2
fitemid	fname	fnote
1	$marker-$chinese	$marker
2	${chinese}O'Brien	$chinese
(2 rows)
WANT
  expect fill-cipher-$cipher 0 want.txt out.txt $status
  if LC_ALL=C grep -qa "$marker" $file || LC_ALL=C grep -qaF "$chinese_gb" $file || LC_ALL=C grep -qaF "$chinese" $file; then
    echo "FAIL plain-cipher-$cipher: stored text readable in the file"; failures=$((failures + 1))
  fi
  cp $file before.bin
  "$KRXSQL" --password "密码" $file "select fname from cqsecret" >out.txt; status=$?
  echo "ERROR: Cannot open database because incorrect password - Native error: 30445" >want.txt
  expect wrong-cipher-$cipher 1 want.txt out.txt $status
  cmp -s $file before.bin || { echo "FAIL wrong-cipher-$cipher: file changed"; failures=$((failures + 1)); }
  "$KRXSQL" $file "select fname from cqsecret" >out.txt; status=$?
  expect no-password-cipher-$cipher 1 want.txt out.txt $status
  "$KRXSQL" --password "密码$cipher" $file "select fitemid from cqsecret where fnote = '$chinese'" >out.txt; status=$?
  printf 'fitemid\n2\n(1 rows)\n' >want.txt
  expect reopen-cipher-$cipher 0 want.txt out.txt $status
done
# The scan would see the text in a file without a password.
"$KRXSQL" --create plainfile </dev/null >/dev/null
"$KRXSQL" plainfile "create table t(fname varchar(60)); insert into t values ('$marker-$chinese')" >/dev/null
LC_ALL=C grep -qa "$marker" plainfile && LC_ALL=C grep -qaF "$chinese_gb" plainfile \
  || { echo "FAIL plain-file: the scan does not see stored text"; failures=$((failures + 1)); }

# Bad arguments are a usage error; so is a cipher the engine does not have.
"$KRXSQL" --page-size lots cpbill >/dev/null 2>&1; status=$?
[ $status = 2 ] || { echo "FAIL usage: status $status"; failures=$((failures + 1)); }
"$KRXSQL" --create --cipher 8 --password pw nocipher </dev/null >/dev/null 2>err.txt; status=$?
[ $status = 2 ] || { echo "FAIL cipher-8: status $status"; failures=$((failures + 1)); }
[ ! -e nocipher ] || { echo "FAIL cipher-8: a file was made"; failures=$((failures + 1)); }
grep -q "invalid value for --cipher" err.txt || { echo "FAIL cipher-8: no reason given"; failures=$((failures + 1)); }
grep -q "7 Square" err.txt || { echo "FAIL cipher-8: the usage names no ciphers"; failures=$((failures + 1)); }

# A session of changes and queries: rows affected, result rows with their
# field names, NULL as empty text, a quote doubled in the text and stored as
# typed, tabs and line breaks escaped, an error that does not stop the rest.
"$KRXSQL" --create session </dev/null >/dev/null
cat >in.txt <<'SQL'
create table 产品(fitemid integer, 型号 varchar(40), fprice float)
GO
insert into 产品 values (1, 'YJV-3*95', 37.5);
insert into 产品 values (2, 'O''Brien 控制线', 12);
insert into 产品(fitemid) values (3)
go
select fitemid, 型号, fprice from 产品 order by fitemid
GO
update 产品 set 型号 = 'a	b', fprice = fprice + 0.1 where fitemid = 1
GO
select * from 没有的表
GO
delete from 产品 where fitemid = 2
GO
select 型号, fprice from 产品 where fitemid < 3
SQL
"$KRXSQL" session <in.txt >out.txt; status=$?
cat >want.txt <<'WANT'
OK 0
OK 3
fitemid	型号	fprice
1	YJV-3*95	37.5
2	O'Brien 控制线	12
3		
(3 rows)
OK 1
ERROR: Table '没有的表' not exists. - Native error: 21143
OK 1
型号	fprice
a\tb	37.6
(1 rows)
WANT
expect session 1 want.txt out.txt $status

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "krxsql shell: all cases pass"
