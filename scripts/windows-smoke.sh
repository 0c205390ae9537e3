#!/usr/bin/env bash
# windows-smoke.sh -- plays the Windows program as a player would get it: unpacked from the download
# archive, under Wine in a virtual X server of 640 × 480 × 24, with a fresh Wine prefix inside the
# build folder and Wine's threaded rendering off. Checks: the first intro picture equals intro.bmp
# pixel for pixel, the play screen shows the heads-up line, 60 ± 2 flips a second during play (from
# Wine's own time-stamped trace of each Flip), ESC ends it with exit code 0 within ten seconds (it
# takes three to five, two of them Wine's own server winding down; a hang never ends); in
# a 1024 × 768 screen the program ends with its one line about the display and exit code 1; started
# in an empty folder it shows the line in a message box titled "Vorlash" and ends with exit code 1.
# Sound: Wine's PulseAudio driver plays into a PulseAudio server of the run's own (a null sink, no
# hardware), whose monitor is recorded for the whole play; firing must be heard (RMS while SPACE is
# held) and nothing may clip (full-scale samples). Wine's DirectMusic does not load MIDI files, so
# the music is silent under Wine although every call succeeds: the run reports what Wine's log says
# about it instead of judging it.
# usage: scripts/windows-smoke.sh [windows build folder]   (screenshots and logs go to <build>/smoke/)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
archive=$build/vorlash-windows.zip
out=$build/smoke
convert_cmd=/usr/bin/convert
[[ -x $convert_cmd ]] || convert_cmd=convert
started_all=$(date +%s)

for tool in wine wineboot wineserver Xvfb xdotool import compare unzip xdpyinfo pulseaudio pactl parecord sox; do
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
pulse_pid=""
record_pid=""
cleanup() {
    [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [[ -n $record_pid ]] && kill "$record_pid" 2>/dev/null || true
    [[ -n $pulse_pid ]] && kill "$pulse_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# shellcheck source=virtual-x.sh
source "$root/scripts/virtual-x.sh"

# ---- sound: a PulseAudio server of the run's own, with a null sink as its only device ----

# CI runs as root with no session bus: the server runs as a plain daemon in user mode (not the
# system-wide one), its home and runtime folders in the build tree, asking nothing of a bus or of
# realtime scheduling, letting clients in without a cookie. Clients would write a cookie into the
# real home folder, so theirs goes here too. The sink's rate and format are the recording's.
pulse=$out/pulse
pulse_socket=$pulse/native
mkdir -p "$pulse/home" "$pulse/runtime"
((${#pulse_socket} < 100)) || { echo "windows-smoke: $pulse_socket is too long a path for a socket" >&2; exit 2; }
cat >"$pulse/server.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1 auth-cookie-enabled=0 socket=$pulse_socket
load-module module-null-sink sink_name=smoke rate=44100 channels=2 format=s16le
set-default-sink smoke
EOF
env -u DISPLAY HOME="$pulse/home" XDG_RUNTIME_DIR="$pulse/runtime" \
    pulseaudio -n -F "$pulse/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --realtime=no --high-priority=no --log-target=stderr 2>"$out/pulseaudio.log" &
pulse_pid=$!
export PULSE_SERVER=unix:$pulse_socket PULSE_COOKIE=$pulse/cookie
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || { echo "windows-smoke: the PulseAudio server did not start ($out/pulseaudio.log)" >&2; exit 1; }

start_x 640x480
wineboot -i >"$out/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f >>"$out/wineboot.log" 2>&1
# Wine's PulseAudio driver and no other, so that a driver that cannot start shows as silence.
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d pulse /f >>"$out/wineboot.log" 2>&1
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

start_game() {  # $1 folder, $2 log name; Flip calls are traced with time stamps, and DirectMusic's
                #   own notes on what it leaves undone are kept
    (cd "$1" && exec env WINEDEBUG=+timestamp,warn+ddraw,fixme+dmime wine vorlash.exe) >"$out/$2.out" 2>"$out/$2.log" &
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

# ---- the play's sound ----

# One recording of the sink for the whole of run 1, started before the program; the stretches
# judged are cut from it by its length at each moment (a recorder started and stopped around each
# stretch loses up to a few seconds at its start). 16-bit stereo at 44100 Hz, 4 bytes a frame.
sound=$out/play-sound.raw
start_recording() {
    parecord -d smoke.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 "$sound" \
        2>"$out/parecord.log" &
    record_pid=$!
    for _ in $(seq 50); do
        [[ -s $sound ]] && return 0
        sleep 0.1
    done
    echo "windows-smoke: the recorder did not start ($out/parecord.log)" >&2
    exit 1
}
frames_recorded() { echo $(($(stat -c %s "$sound") / 4)); }
stop_recording() {
    kill -INT "$record_pid" 2>/dev/null || true
    wait "$record_pid" 2>/dev/null || true
    record_pid=""
}

# RMS and peak amplitude (full scale 1) of a stretch of frames, both channels together.
levels() {  # $1 first frame, $2 frame count
    sox -t raw -r 44100 -e signed-integer -b 16 -c 2 "$sound" -n trim "$1s" "$2s" stats 2>&1 |
        awk '/^RMS lev dB/ { rms = $4 } /^Pk lev dB/ { pk = $4 }
             END { printf "%.4f %.4f\n", (rms == "" || rms == "-inf") ? 0 : 10 ^ (rms / 20), (pk == "" || pk == "-inf") ? 0 : 10 ^ (pk / 20) }'
}

# Samples at full scale from frame $1 to the end, on either channel.
clipped_samples() {  # $1 first frame
    sox -t raw -r 44100 -e signed-integer -b 16 -c 2 "$sound" -t raw - trim "$1s" 2>/dev/null |
        od -An -v -td2 -w2 | awk '$1 >= 32767 || $1 <= -32768 { n++ } END { print n + 0 }'
}

# The sound stream opens when play starts. Firing must be heard: the laser alone measures an RMS
# of about 0.08, more with an explosion beside it, and still 0.045 on a machine so busy that the
# game drops to 11 frames a second, while an idle sink gives digital silence; the bar is the native
# smoke run's, -45 dB (0.0056). From the start of play to the end nothing may reach full scale more
# than a few times: each effect peaks at -7 dB, and a fault in mixing or volume sends thousands of
# samples there. The UFO can hit the gunship before any key, so the stretch before firing is shown,
# not judged.
judge_sound() {
    local rms peak before_rms before_peak clipped
    read -r before_rms before_peak < <(levels "$play_from" $((firing_from - play_from)))
    read -r rms peak < <(levels "$firing_from" $((firing_to - firing_from)))
    clipped=$(clipped_samples "$play_from")
    echo "windows-smoke: sound: RMS $rms, peak $peak while SPACE is held ($(((firing_to - firing_from) * 10 / 441)) ms);" \
        "RMS $before_rms, peak $before_peak before any key; $clipped full-scale samples in play"
    if awk -v r="$rms" 'BEGIN { exit !(r > 0.0056) }'; then
        pass "firing is heard (RMS $rms, over 0.0056)"
    else
        fail "firing is not heard: RMS $rms (over 0.0056 expected)"
    fi
    if ((clipped < 100)); then
        pass "no clipping ($clipped full-scale samples, under 100)"
    else
        fail "clipping: $clipped full-scale samples (under 100 expected)"
    fi
}

# Wine 8.0's DirectMusic reads no MIDI file and only stubs PlaySegment, so the music is silent
# here although every call succeeds: what its log says about that is shown instead of a verdict.
report_music() {
    local lines
    lines=$(grep -E 'MIDI file|PlaySegment' "$out/play.log" | sed -E 's/^[0-9.]+:[0-9a-f]+://; s/\(.*\): stub$/(...): stub/' |
        sort | uniq -c | awk '{ n = $1; sub(/^ *[0-9]+ /, ""); print "    " n " x " $0 }')
    if [[ -n $lines ]]; then
        echo "windows-smoke: music not judged; Wine's log says:"
        echo "$lines"
    else
        echo "windows-smoke: music not judged; Wine's log says nothing of MIDI files or PlaySegment"
    fi
}

# ---- run 1: the game played from the unpacked archive ----

start_recording
start_game "$out/game" play
if diff=$(wait_for_picture intro1 20 1 "$out/intro-expected.png"); then
    pass "the first intro picture equals intro.bmp ($diff pixels off) after $(($(date +%s) - started_at)) s"
else
    fail "no intro picture equal to intro.bmp"
fi
if diff=$(wait_for_picture play0 60 $((640 * 480 / 5)) "$out/backdrop.png"); then
    play_from=$(frames_recorded)
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
    firing_from=$(frames_recorded)
    xdotool keydown space
    xdotool keydown Down; sleep 0.5; xdotool keyup Down
    xdotool keydown Right; sleep 0.3; xdotool keyup Right
    sleep 4.2
    xdotool keyup space
    firing_to=$(frames_recorded)
    shot play2
    grep 'Flip' "$out/play.log" | tail -n +$((flips_before + 1)) | cut -d: -f1 >"$out/flip-times.txt"
    awk 'NR > 1 { print 1000 * ($1 - last) } { last = $1 }' "$out/flip-times.txt" | sort -n >"$out/flip-gaps.txt"
    flips=$(wc -l <"$out/flip-times.txt")
    span=$(awk 'NR == 1 { first = $1 } { last = $1 } END { print last - first }' "$out/flip-times.txt")
    rate=$(awk -v n="$flips" -v s="$span" 'BEGIN { printf "%.2f", (s > 0) ? (n - 1) / s : 0 }')
    median=$(awk '{ g[NR] = $1 } END { print NR ? g[int((NR + 1) / 2)] : 0 }' "$out/flip-gaps.txt")
    worst=$(tail -n 1 "$out/flip-gaps.txt")
    echo "windows-smoke: $rate flips a second during play (median gap $median ms, worst $worst ms)"
    if awk -v r="$rate" 'BEGIN { exit !(r >= 58 && r <= 62) }'; then
        pass "frame rate $rate (60 ± 2)"
    else
        fail "frame rate $rate, not 60 ± 2"
    fi
    moved=$(differing_pixels "$out/play1.png" "$out/play2.png")
    [[ $moved =~ ^[0-9]+$ ]] && ((moved > 1500)) && pass "the picture moves ($moved pixels changed)" ||
        fail "the picture did not move: $moved pixels changed"
    xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
    quit_from=$(date +%s%N)
    wait_end 10
    took=$((($(date +%s%N) - quit_from) / 100000000))
    [[ $code == 0 ]] && pass "ended by itself $((took / 10)).$((took % 10)) s after ESC, exit code 0" ||
        fail "after ESC: exit code $code (0 within 10 s expected)"
    stop_recording
    judge_sound
    report_music
else
    fail "no play screen within 60 s"
    wait_end 0
    stop_recording
fi

# ---- run 2: started without its files ----

start_game "$out/empty" empty
expect_failed_start "empty folder" empty "cannot load the picture intro\.bmp from .+: the file cannot be opened"

# ---- run 3: a screen that has no 640 × 480 mode ----

start_x 1024x768
start_game "$out/game" large-screen
expect_failed_start "1024 x 768 screen" large-screen "cannot set up the display .+: .+"

echo "windows-smoke: took $(($(date +%s) - started_all)) s; screenshots and logs in $out"
if ((failures > 0)); then
    echo "windows-smoke: $failures check(s) failed" >&2
    exit 1
fi
echo "windows-smoke: all checks passed"
