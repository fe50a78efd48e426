#!/bin/bash
# Types a three-employee return into the built program the way a person does:
# a fresh working folder, a virtual X display, real X key events (the header
# with Enter, the grid with Tab, one row with the Right arrow), then "Kayıt";
# then F10, a rate typed over and "Güncelle". The rows stored in
# Data/bodro.mdb must be exactly what was typed and computed each time.
# With a server's connection string, the same is typed into a desk of an
# office on a fresh database of that server; then a second desk, started
# beside the first in a folder of its own and pointed at the server by its
# Data/veritabani.ini, finds the return with F10 and updates it, and the
# server holds what the second desk typed.
# Usage: typing_e2e.sh SARVEK_BINARY [SERVER_CONNINFO | FILE_HOLDING_IT]
set -euo pipefail
# Turkish letters are typed and compared as UTF-8 whatever the locale the
# tests run in.
export LC_ALL=C.UTF-8 PGCLIENTENCODING=UTF8

if [ -z "${TYPING_E2E_DISPLAY:-}" ]; then
    export TYPING_E2E_DISPLAY=1
    exec xvfb-run -a -s '-screen 0 1366x768x24 -noreset' bash "$0" "$@"
fi

here=$(cd "$(dirname "$0")" && pwd)
sarvek=$(realpath "$1")
server=${2:-}
[ -f "$server" ] && server=$(cat "$server")
work=$(mktemp -d "${TMPDIR:-/tmp}/typing.XXXXXX")
mkdir -m 700 "$work/runtime"
cd "$work"
pids=()
database=
finish() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
    [ -n "$database" ] && psql "$server" -qc "DROP DATABASE IF EXISTS $database" >/dev/null 2>&1
    rm -rf "$work"
}
trap finish EXIT
if [ -n "$server" ]; then
    database=e2e_$$
    psql "$server" -qc "CREATE DATABASE $database" >/dev/null
    export SARVEK_DB="$server dbname=$database"
fi
# A desk: a working folder of its own, the program started in it.
start_desk() {
    mkdir -p "$1"
    (cd "$1" && XDG_RUNTIME_DIR=$work/runtime SARVEK_WINDIR=$1 exec "$sarvek") >"$1/sarvek.log" 2>&1 &
    pids+=($!)
}
start_desk "$work"

# About a quick typist's pace, key by key.
delay=40
type() { xdotool type --delay "$delay" -- "$1"; }
keys() { xdotool key --delay "$delay" "$@"; }
window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1; }
# The same among the windows of one desk's process.
window_of() { timeout 20 xdotool search --sync --onlyvisible --all --pid "$2" --name "$1" | head -1; }

# From the main menu of the desk whose process is $1 to its entry screen,
# whose window is then in $entry.
open_entry() {
    local menu
    menu=$(window_of '^Sarvek Sand' "$1")
    xdotool windowfocus --sync "$menu"
    # "Bodro Hazırla" has a fixed place on the main menu.
    xdotool mousemove --window "$menu" 94 404 click 1
    entry=$(window_of '^Ayl' "$1")
    xdotool windowfocus --sync "$entry"
    sleep 0.5
}
open_entry "${pids[0]}"

# Header: registry number in three parts, the opening period, address,
# phone, name, ASIL; Enter from "Kaydı Gönder" enters the grid.
type 1; keys Return; type 12; keys Return; type 345; keys Return Return Return
type 'Girne Cad. 5'; keys Return; type 2281234; keys Return
type 'Deneme Ltd'; keys Return space Return Return Return

# The worked example, with Tab; the Tab out of "D.Tutarı" goes on to the next
# row's "Sarvek No".
type 111111; keys Tab Tab Tab; type Ali; keys Tab; type E; keys Tab; type 30; keys Tab Tab
type 2500.5; keys Tab; type 2; keys Tab Tab; type 3.5; keys Tab Tab
type 222222; keys Tab; type 12345678901; keys Tab; type 123456789; keys Tab
type 'Ayşe Kaya'; keys Tab; type K; keys Tab; type 12; keys Tab; type G; keys Tab
type 1000; keys Tab; type 5; keys Tab Tab; type 10; keys Tab Tab
# The third row with the Right arrow.
type 333333; keys Right Right Right; type Veli; keys Right; type e; keys Right
type 30; keys Right Right; type 3000; keys Right; type 5; keys Right Right; type 10; keys Right

# Clicks the N-th button of the entry screen's button row and closes the
# message box it brings up.
press() {
    local x y box
    read -r x y < <(/usr/bin/python3 "$here/xscreen.py" button "$1")
    xdotool mousemove "$x" "$y" click 1
    box=$(window '^Sarvek Bodro$')
    xdotool windowfocus --sync "$box"
    keys Return
    xdotool windowfocus --sync "$entry"
    # The command finishes once its box is closed.
    sleep 0.5
}

# The stored rows of the return, "|" between the columns, one row a line.
columns="YATSIRANO, YATISVER, YATBODROTUR, YATSRVNO, YATKIMLIK, YATSSKNO, YATISIM, YATCINS,
    YATCALGUN, YATDURUM, YATBRUT, YATPRIMOR, YATDEPOOR"
stored() {
    if [ -n "$server" ]; then
        psql "$SARVEK_DB" -AtF '|' -c "select $columns from bodro order by IDSIRA"
        return
    fi
    /usr/bin/python3 - "$work/Data/bodro.mdb" "$columns" <<'PY'
import sqlite3
import sys

for row in sqlite3.connect(sys.argv[1]).execute(
        "select " + sys.argv[2] + " from bodro order by IDSIRA"):
    print("|".join(str(v) for v in row))
PY
}

expect() {
    local got
    got=$(stored)
    if [ "$got" != "$1" ]; then
        printf 'stored rows:\n%s\nexpected:\n%s\n' "$got" "$1"
        exit 1
    fi
}

press 1 # "Kayıt"
row1='1|010012000345|01|111111|||Ali|E|30||2,500.50|2.00|3.50'
row2='2|010012000345|01|222222|12345678901|123456789|Ayşe Kaya|K|12|G|1,000.00|5.00|10.00'
expect "$row1
$row2
3|010012000345|01|333333|||Veli|E|30||3,000.00|5.00|10.00"

# F10, pick the return, walk back into the grid with Enter, type a new premium
# rate over the third row's, "Güncelle".
update_third_rate() {
    keys F10
    list=$(window 'Listeyi G')
    xdotool windowfocus --sync "$list"
    keys Return
    xdotool windowfocus --sync "$entry"
    sleep 0.5
    keys Return Return Return Return Return Return Return Return Return Return Return
    keys Up Right Right Right Right Right Right Right Right
    type "$1"
    press 4 # "Güncelle"
}
update_third_rate 9
expect "$row1
$row2
3|010012000345|01|333333|||Veli|E|30||3,000.00|9.00|10.00"

if [ -n "$server" ]; then
    # A second desk beside the first, which stays open, finds the return on
    # the server through its own Data/veritabani.ini.
    mkdir -p "$work/ikinci/Data"
    printf '# Büro sunucusu\n%s\n' "$SARVEK_DB" >"$work/ikinci/Data/veritabani.ini"
    SARVEK_DB= start_desk "$work/ikinci"
    open_entry "${pids[1]}"
    update_third_rate 7
    expect "$row1
$row2
3|010012000345|01|333333|||Veli|E|30||3,000.00|7.00|10.00"
    [ ! -e "$work/ikinci/Data/bodro.mdb" ] || { echo "the second desk made a file of its own"; exit 1; }
fi
echo "stored as typed"
