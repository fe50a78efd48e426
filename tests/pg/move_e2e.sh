#!/usr/bin/env bash
# The built program's "--tasi" from a terminal without a display: an older
# Data/bodro.mdb is brought up to date and moved into a fresh server
# database, the counts come on standard output, and a second move, a
# password and a missing connection string are refused with a non-zero exit.
#   move_e2e.sh SARVEK STATE   (STATE: the test server's state folder)
set -euo pipefail
# The rows are compared as UTF-8 whatever the locale the tests run in.
export PGCLIENTENCODING=UTF8
sarvek=$(realpath "${1:?program}")
state=${2:?server state folder}
base=$(cat "$state/conninfo")
target="$base dbname=move_e2e"
work=$(mktemp -d "${TMPDIR:-/tmp}/move_e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT

PGOPTIONS="-c client_min_messages=warning" psql -q -X "$base" -c "DROP DATABASE IF EXISTS move_e2e" -c "CREATE DATABASE move_e2e"

mkdir -p "$work/Data"
/usr/bin/python3 - "$work/Data/bodro.mdb" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.executescript("""
CREATE TABLE bodro (IDSIRA INTEGER PRIMARY KEY AUTOINCREMENT, YATSIRANO VARCHAR(5),
  YATISVER VARCHAR(12), YATDEVREILK VARCHAR(25), YATDEVRESON VARCHAR(25), YATSRVNO VARCHAR(6),
  YATKIMLIK VARCHAR(12), YATISIM VARCHAR(40), YATCINS VARCHAR(1), YATCALGUN VARCHAR(3),
  YATBRUT VARCHAR(25), YATPRIMOR VARCHAR(6), YATDEPOOR VARCHAR(6), YATDURUM VARCHAR(1),
  ISVISADRES VARCHAR(50), ISVTELNO VARCHAR(25), ISVISIM VARCHAR(50), YATBODROTUR VARCHAR(2),
  YATGONDER VARCHAR(1));
CREATE TABLE bodrotemp (YATSIRANO VARCHAR(5));
CREATE TABLE muhisv (ID INTEGER PRIMARY KEY AUTOINCREMENT, MUHISVUNVAN VARCHAR(100),
  MUHISVISI VARCHAR(100), MSNO VARCHAR(20), MUHISVADRES VARCHAR(200), MUHSIVTELNO VARCHAR(25),
  MUHISVFAXNO VARCHAR(25), MUHISVMOBILNO VARCHAR(25), SETMUHISV VARCHAR(1));
""")
for n, name in enumerate(["Şükrü Çağlayan", "İsmail Öztürk", "Ayşe Iğdırlı"], 1):
    db.execute("INSERT INTO bodro (YATSIRANO, YATISVER, YATDEVREILK, YATDEVRESON, YATISIM, "
               "YATBODROTUR, ISVISIM) VALUES (?, '010001000001', '01.03.2013', '31.03.2013', ?, "
               "'01', 'Güneş Ltd.')", (str(n), name))
db.execute("INSERT INTO muhisv (MUHISVUNVAN, MSNO) VALUES ('Usta Müşavirlik', '4711')")
db.commit()
PY

fail() { echo "move_e2e: $*" >&2; exit 1; }
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u SARVEK_DB -u SARVEK_HOME "$@"; }

rc=0
bare "$sarvek" --veri-klasoru "$work" --tasi "$target" >"$work/out" 2>"$work/err" || rc=$?
[ "$rc" -eq 0 ] || fail "move ended with $rc: $(cat "$work/err")"
for line in 'bodro +3 +3' 'bodroliste +1 +1' 'muhisv +1 +1' 'gonderim +0 +0'; do
    grep -Eq "^$line\$" "$work/out" || fail "no line '$line' in: $(cat "$work/out")"
done
grep -q "sunucuya taşındı" "$work/out" || fail "no closing line in: $(cat "$work/out")"
rows=$(psql -X -tA "$target" -c "SELECT string_agg(YATISIM || '/' || YATBDRDEVMIK, ',' ORDER BY IDSIRA) FROM bodro")
[ "$rows" = "Şükrü Çağlayan/1,İsmail Öztürk/1,Ayşe Iğdırlı/1" ] || fail "server holds: $rows"

# The same rules for the working folder as a normal start: here the current one.
rc=0
(cd "$work" && bare "$sarvek" --tasi "$target") >"$work/out2" 2>"$work/err2" || rc=$?
[ "$rc" -ne 0 ] || fail "a second move into the same database was not refused"
grep -q "Hedef veritabanı boş değil: bodro tablosunda 3 satır var" "$work/err2" ||
    fail "unexpected refusal: $(cat "$work/err2")"

rc=0
SARVEK_HOME=$work env -u DISPLAY -u QT_QPA_PLATFORM "$sarvek" --tasi="$target password=gizli" \
    >/dev/null 2>"$work/err3" || rc=$?
[ "$rc" -ne 0 ] && grep -q "parola bulunmamalıdır" "$work/err3" ||
    fail "a password was not refused ($rc): $(cat "$work/err3")"

rc=0
bare "$sarvek" --veri-klasoru "$work" --tasi >/dev/null 2>"$work/err4" || rc=$?
[ "$rc" -ne 0 ] && grep -q "bağlantı bilgisini yazınız" "$work/err4" ||
    fail "a missing connection string was not refused ($rc): $(cat "$work/err4")"

[ "$(psql -X -tA "$target" -c "SELECT count(*) FROM bodro")" = 3 ] || fail "the refusals wrote"
echo "move_e2e: ok"
