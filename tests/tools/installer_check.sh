#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# velmora-sign and the update installer, end to end:
#   installer_check.sh CMAKE MAKER STUB VELMORA-SIGN
# Keys and signatures; the installer made from a stand-in program replaces the
# old program in a game folder, leaves the settings and the tally alone and
# starts the new program; it waits for the game that started it; a damaged or
# interrupted install always leaves a program that runs.
set -eu
cmake=$1 maker=$2 stub=$3 sign=$4
work=$(mktemp -d)
work=$(cd "$work" && pwd -P)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
status() {
    set +e
    "$@" >/dev/null 2>&1
    echo $?
    set -e
}

# Waits up to 10 s for a file to appear.
wait_for() {
    rounds=0
    while [ ! -e "$1" ] && [ $rounds -lt 100 ]; do
        sleep 0.1
        rounds=$((rounds + 1))
    done
    [ -e "$1" ]
}

make_installer() { # PAYLOAD OUTPUT [KEY]
    "$cmake" -DSTUB="$stub" -DPAYLOAD="$1" -DOUTPUT="$2" -DSIGN_TOOL="$sign" \
        -DSIGNING_KEY="${3-$work/k.key}" -P "$maker" >/dev/null 2>&1
}

# A game folder with an old program, settings and a tally.
new_game() { # FOLDER
    mkdir -p "$1"
    printf '#!/bin/sh\necho old velmora\n' >"$1/velmora"
    chmod 755 "$1/velmora"
    printf '[velmora]\nName=Ada\nUpdate=true\n' >"$1/velmora.ini"
    head -c 3000 /dev/urandom >"$1/velmoratally.tld"
    cp "$1/velmora.ini" "$1/velmoratally.tld" "$work/"
}

# The program runs and is the old one or the whole new one.
runs_whole() { # FOLDER NEW-PROGRAM
    if cmp -s "$1/velmora" "$2"; then
        return 0
    fi
    [ "$("$1/velmora")" = "old velmora" ]
}

# --- velmora-sign ------------------------------------------------------------
"$sign" --help | grep -q '^Usage: velmora-sign keygen' || fail "--help"
"$sign" --version | grep -q '^velmora-sign [0-9]' || fail "--version"
[ "$(status "$sign" frobnicate)" = 2 ] || fail "unknown command is not a usage error"
[ "$(status "$sign" sign only-one)" = 2 ] || fail "missing argument is not a usage error"
"$sign" keygen "$work/k.key" "$work/k.pub" || fail "keygen"
"$sign" keygen "$work/other.key" "$work/other.pub" || fail "second keygen"
[ "$(stat -c %a "$work/k.key")" = 600 ] || fail "the secret key is readable by others"
cp "$work/k.key" "$work/k.key.before"
[ "$(status "$sign" keygen "$work/k.key" "$work/k2.pub")" = 1 ] || fail "keygen overwrote a secret key"
cmp -s "$work/k.key" "$work/k.key.before" || fail "the secret key changed"

# --- the stand-in new program: says where, how and when it ran ----------------
cat >"$work/new-velmora" <<'PROGRAM'
#!/bin/sh
here=$(cd "$(dirname "$0")" && pwd -P)
{
    echo "new velmora in $here with $# arguments"
    [ -e "$here/starter-ended" ] && echo "after the starter ended"
} >"$here/started.tmp"
mv "$here/started.tmp" "$here/started.txt"
PROGRAM

make_installer "$work/new-velmora" "$work/velmorasetup.exe" || fail "making the installer"
[ -x "$work/velmorasetup.exe" ] || fail "the installer is not executable"
[ "$(stat -c %s "$work/velmorasetup.exe.sig")" = 64 ] || fail "no 64-byte signature"
[ "$(status "$sign" verify "$work/k.pub" "$work/velmorasetup.exe")" = 0 ] || fail "good signature refused"
[ "$(status "$sign" verify "$work/other.pub" "$work/velmorasetup.exe")" = 1 ] || fail "other key accepted"
cp "$work/velmorasetup.exe" "$work/tampered.exe"
printf 'x' >>"$work/tampered.exe"
[ "$(status "$sign" verify "$work/k.pub" "$work/tampered.exe" "$work/velmorasetup.exe.sig")" = 1 ] ||
    fail "changed installer accepted"
make_installer "$work/new-velmora" "$work/unsigned.exe" "" && fail "made an installer without a key"
[ ! -e "$work/unsigned.exe" ] || fail "an unsigned installer was left behind"

# --- install over an old program ---------------------------------------------
game=$work/game
new_game "$game"
cp "$work/velmorasetup.exe" "$game/"
"$game/velmorasetup.exe" /SP- /silent /noicons /DIR=elsewhere || fail "install reported failure"
wait_for "$game/started.txt" || fail "the new program was not started"
cmp -s "$game/velmora" "$work/new-velmora" || fail "the new program is not in place"
[ -x "$game/velmora" ] || fail "the new program is not executable"
grep -q "^new velmora in $game with 0 arguments" "$game/started.txt" || fail "started wrongly: $(cat "$game/started.txt")"
cmp -s "$game/velmora.ini" "$work/velmora.ini" || fail "the settings changed"
cmp -s "$game/velmoratally.tld" "$work/velmoratally.tld" || fail "the tally changed"
[ ! -e "$game/.velmora.new" ] || fail "the temporary was left behind"

# --- started by the game: waits until the game has ended ---------------------
game=$work/started-by-game
new_game "$game"
mv "$game/velmora" "$game/velmora.BAK"
cp /bin/sh "$game/velmora.BAK" # the running game, moved aside as the game does
cp "$work/velmorasetup.exe" "$game/"
"$game/velmora.BAK" -c '"$1/velmorasetup.exe" /SP- /silent /noicons & sleep 1; : >"$1/starter-ended"' sh "$game"
wait_for "$game/started.txt" || fail "not started after the game ended"
grep -q "after the starter ended" "$game/started.txt" || fail "installed while the game still ran"

# --- a damaged installer changes nothing and puts a moved program back ------
size=$(stat -c %s "$work/velmorasetup.exe")
game=$work/damaged
new_game "$game"
head -c $((size - 10)) "$work/velmorasetup.exe" >"$game/velmorasetup.exe"
[ "$(status sh "$game/velmorasetup.exe" /SP- /silent /noicons)" = 1 ] || fail "damaged installer succeeded"
[ "$("$game/velmora")" = "old velmora" ] || fail "damaged installer replaced the program"
mv "$game/velmora" "$game/velmora.BAK"
[ "$(status sh "$game/velmorasetup.exe")" = 1 ] || fail "damaged installer succeeded"
[ "$("$game/velmora")" = "old velmora" ] || fail "the moved program was not put back"

# --- interrupted midway: the program is the old one or the whole new one ----
{
    cat "$work/new-velmora"
    echo "exit 0"
    head -c 40000000 /dev/zero | tr '\0' '#'
} >"$work/big-velmora"
make_installer "$work/big-velmora" "$work/big-setup.exe" || fail "making the big installer"
for signal in KILL TERM; do
    for pause in 0.02 0.05 0.1 0.2 0.3 0.5; do
        game=$work/interrupted-$signal-$pause
        new_game "$game"
        cp "$work/big-setup.exe" "$game/velmorasetup.exe"
        "$game/velmorasetup.exe" /SP- /silent /noicons 2>/dev/null &
        installer=$!
        sleep "$pause"
        kill -s "$signal" "$installer" 2>/dev/null || true
        wait "$installer" 2>/dev/null || true
        runs_whole "$game" "$work/big-velmora" || fail "$signal after $pause s left a broken program"
    done
done
# A later run completes what an interrupted one left.
"$game/velmorasetup.exe" || fail "install after an interruption failed"
cmp -s "$game/velmora" "$work/big-velmora" || fail "install after an interruption is incomplete"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all installer checks passed"
