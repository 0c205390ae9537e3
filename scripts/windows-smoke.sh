#!/usr/bin/env bash
# windows-smoke.sh -- plays the Windows program as a player would get it: unpacked from the download
# archive, under Wine in a virtual X server of 640 × 480 × 24, with a fresh Wine prefix inside the
# build folder and Wine's threaded rendering off. Checks: the first intro picture equals intro.bmp
# pixel for pixel, the play screen shows the heads-up line, 60 ± 1 flips a second during play (from
# Wine's own time-stamped trace of each Flip), ESC ends it with exit code 0 within five seconds; in
# a 1024 × 768 screen the program ends with its one line about the display and exit code 1; started
# in an empty folder it shows the line in a message box titled "Vorlash" and ends with exit code 1.
# Wine has no sound device here: the game plays on silently.
# usage: scripts/windows-smoke.sh [windows build folder]   (screenshots and logs go to <build>/smoke/)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
archive=$build/vorlash-windows.zip
out=$build/smoke
convert_cmd=/usr/bin/convert
[[ -x $convert_cmd ]] || convert_cmd=convert
started_all=$(date +%s)

for tool in wine wineboot wineserver Xvfb xdotool import compare unzip xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "windows-smoke: $tool is missing (scripts/install-deps.sh wine)" >&2; exit 2; }
done
[[ -f $archive ]] || { echo "windows-smoke: make the archive first ($archive)" >&2; exit 2; }
rm -rf "$out"
mkdir -p "$out/game" "$out/empty"
unzip -q "$archive" -d "$out/game"
cp "$out/game/vorlash.exe" "$out/empty/"

failures=0
fail() { echo "windows-smoke: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "windows-smoke: ok: $*"; }

# ---- Wine: a fresh prefix, no downloads offered, threaded rendering off ----

export WINEPREFIX=$build/wine-prefix
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=-all
rm -rf "$WINEPREFIX"

xvfb_pid=""
game_pid=""
cleanup() {
    [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# shellcheck source=virtual-x.sh
source "$root/scripts/virtual-x.sh"

start_x 640x480
wineboot -i >"$out/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f >>"$out/wineboot.log" 2>&1
wineserver -w
echo "windows-smoke: Wine prefix ready after $(($(date +%s) - started_all)) s"

# ---- looking at the screen ----

shot() { import -window root "$out/$1.png"; }
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
white_pixels() {  # $1 screenshot, $2 rectangle WxH+X+Y
    "$convert_cmd" "$out/$1.png" -crop "$2" +repage -fill black +opaque white -format '%[fx:round(mean*w*h)]' info:
}
"$convert_cmd" "$out/game/LAVA.BMP" -type TrueColor "$out/backdrop.png"
"$convert_cmd" "$out/game/intro.bmp" -type TrueColor "$out/intro-expected.png"

# ---- one run of the program ----

start_game() {  # $1 folder, $2 log name; Flip calls are traced with time stamps
    (cd "$1" && exec env WINEDEBUG=+timestamp,warn+ddraw wine vorlash.exe) >"$out/$2.out" 2>"$out/$2.log" &
    game_pid=$!
    started_at=$(date +%s)
}

# Waits up to $1 s for the program to end; sets `code` to its exit code, or "running".
wait_end() {  # $1 seconds
    local waited=0
    while kill -0 "$game_pid" 2>/dev/null && ((waited < $1 * 10)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        kill "$game_pid" 2>/dev/null || true
        wineserver -k 2>/dev/null || true
        game_pid=""
        code=running
        return
    fi
    code=0
    wait "$game_pid" || code=$?
    game_pid=""
    wineserver -w
}

# Waits for a picture equal to `expected` (fewer than $3 pixels off) for up to $2 seconds.
wait_for_picture() {  # $1 name, $2 seconds, $3 pixels allowed off, $4 expected picture
    local deadline=$(($(date +%s) + $2)) diff
    while (($(date +%s) < deadline)); do
        kill -0 "$game_pid" 2>/dev/null || return 1
        shot "$1"
        diff=$(differing_pixels "$out/$1.png" "$4")
        [[ $diff =~ ^[0-9]+$ ]] && ((diff < $3)) && { echo "$diff"; return 0; }
        sleep 0.5
    done
    return 1
}

# A message box: a window titled Vorlash smaller than the game's screen, other than the game's
# window as first made (320 × 240).
message_box() {
    local w size
    for w in $(xdotool search --name '^Vorlash$' 2>/dev/null); do
        size=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ { print $2 }')
        [[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || continue
        ((BASH_REMATCH[1] < 600 && BASH_REMATCH[2] < 400)) && [[ $size != 320x240 ]] && { echo "$w"; return 0; }
    done
    return 1
}

# A start that must fail: the message box appears, Enter closes it, exit code 1, the line on stderr.
expect_failed_start() {  # $1 what, $2 log name, $3 expected stderr line (a pattern)
    local box=""
    for _ in $(seq 60); do
        box=$(message_box) && break
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.5
    done
    if [[ -n $box ]]; then
        import -window "$box" "$out/$2-box.png" 2>/dev/null || true
        pass "$1: a message box titled Vorlash ($(xdotool getwindowgeometry "$box" | awk '/Geometry/ { print $2 }'))"
        xdotool windowfocus --sync "$box" 2>/dev/null || true
        xdotool key Return
    else
        fail "$1: no message box titled Vorlash"
    fi
    wait_end 10
    [[ $code == 1 ]] && pass "$1: exit code 1" || fail "$1: exit code $code (1 expected)"
    local line
    line=$(grep '^vorlash: ' "$out/$2.log" || true)
    if [[ $(grep -c '^vorlash: ' "$out/$2.log") == 1 && $line =~ $3 ]]; then
        pass "$1: one line: $line"
    else
        fail "$1: the line on standard error: '$line'"
    fi
}

# ---- run 1: the game played from the unpacked archive ----

start_game "$out/game" play
if diff=$(wait_for_picture intro1 20 1 "$out/intro-expected.png"); then
    pass "the first intro picture equals intro.bmp ($diff pixels off) after $(($(date +%s) - started_at)) s"
else
    fail "no intro picture equal to intro.bmp"
fi
if diff=$(wait_for_picture play0 60 $((640 * 480 / 5)) "$out/backdrop.png"); then
    echo "windows-smoke: play screen after $(($(date +%s) - started_at)) s ($diff pixels off the backdrop)"
    window=$(xdotool search --name '^Vorlash$' | head -n 1)
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" || true
    sleep 1
    shot play1
    heads_up=$(white_pixels play1 400x16+10+26)
    if ((heads_up > 100)); then
        pass "heads-up line drawn at the top left ($heads_up white pixels)"
    else
        fail "heads-up line: $heads_up white pixels in its place"
    fi
    # The frame rate over five seconds of play, from the time stamps of the traced flips.
    flips_before=$(grep -c 'Flip' "$out/play.log" || true)
    xdotool keydown space
    xdotool keydown Down; sleep 0.5; xdotool keyup Down
    xdotool keydown Right; sleep 0.3; xdotool keyup Right
    sleep 4.2
    xdotool keyup space
    shot play2
    grep 'Flip' "$out/play.log" | tail -n +$((flips_before + 1)) | cut -d: -f1 >"$out/flip-times.txt"
    awk 'NR > 1 { print 1000 * ($1 - last) } { last = $1 }' "$out/flip-times.txt" | sort -n >"$out/flip-gaps.txt"
    flips=$(wc -l <"$out/flip-times.txt")
    span=$(awk 'NR == 1 { first = $1 } { last = $1 } END { print last - first }' "$out/flip-times.txt")
    rate=$(awk -v n="$flips" -v s="$span" 'BEGIN { printf "%.2f", (s > 0) ? (n - 1) / s : 0 }')
    median=$(awk '{ g[NR] = $1 } END { print NR ? g[int((NR + 1) / 2)] : 0 }' "$out/flip-gaps.txt")
    worst=$(tail -n 1 "$out/flip-gaps.txt")
    echo "windows-smoke: $rate flips a second during play (median gap $median ms, worst $worst ms)"
    if awk -v r="$rate" 'BEGIN { exit !(r >= 59 && r <= 61) }'; then
        pass "frame rate $rate (60 ± 1)"
    else
        fail "frame rate $rate, not 60 ± 1"
    fi
    moved=$(differing_pixels "$out/play1.png" "$out/play2.png")
    [[ $moved =~ ^[0-9]+$ ]] && ((moved > 1500)) && pass "the picture moves ($moved pixels changed)" ||
        fail "the picture did not move: $moved pixels changed"
    xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
    quit_from=$(date +%s%N)
    wait_end 5
    took=$((($(date +%s%N) - quit_from) / 100000000))
    [[ $code == 0 ]] && pass "ended by itself $((took / 10)).$((took % 10)) s after ESC, exit code 0" ||
        fail "after ESC: exit code $code (0 within 5 s expected)"
else
    fail "no play screen within 60 s"
    wait_end 0
fi

# ---- run 2: started without its files ----

start_game "$out/empty" empty
expect_failed_start "empty folder" empty "cannot load the picture intro\.bmp"

# ---- run 3: a screen that has no 640 × 480 mode ----

start_x 1024x768
start_game "$out/game" large-screen
expect_failed_start "1024 x 768 screen" large-screen "display"

echo "windows-smoke: took $(($(date +%s) - started_all)) s; screenshots and logs in $out"
if ((failures > 0)); then
    echo "windows-smoke: $failures check(s) failed" >&2
    exit 1
fi
echo "windows-smoke: all checks passed"
