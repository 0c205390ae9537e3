#!/usr/bin/env bash
# smoke.sh -- plays the real program as a person would: under a virtual X server at 640 × 480,
# from the assets folder with the SDL2 host, it lets the intro pass, holds keys (move, fire), takes
# screenshots and checks the play screen, presses ESC and expects the program to end by itself
# with exit code 0 within ten seconds; then with SDL's disk audio driver and checks that the
# sound written is neither silence (music alone, then firing) nor clipping, and once more with the
# laser's sound alone that it carries no mirror images or clicks above 6 kHz; then with a virtual
# game controller plugged in, which moves the gunship, fires and quits. Ten seconds of play at 640 × 480 (run 1)
# and at 1920 × 1080 (run 4) check what playing costs: the CPU share of the main thread and of
# the process, read from /proc, and 60 frames a second.
# usage: scripts/smoke.sh [build folder]     (screenshots, logs and audio go to <build>/smoke/)
# SMOKE_PLAY_SECONDS=N plays N seconds of scripted input in the first run (default 6).
# SMOKE_PROGRAM and SMOKE_ASSETS play an installed copy instead: the launcher and its asset folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
program=${SMOKE_PROGRAM:-$build/vorlash}
assets=${SMOKE_ASSETS:-$build/assets}
out=$build/smoke
play_seconds=${SMOKE_PLAY_SECONDS:-6}
# ImageMagick's own convert, not another program of that name earlier on the path.
convert_cmd=/usr/bin/convert
[[ -x $convert_cmd ]] || convert_cmd=convert

for tool in Xvfb xdotool import compare sox xdpyinfo perf; do
    command -v "$tool" >/dev/null || { echo "smoke: $tool is missing (scripts/install-deps.sh smoke)" >&2; exit 2; }
done
[[ -x $program && -f $assets/LAVA.BMP ]] || { echo "smoke: build the program first ($program)" >&2; exit 2; }
rm -rf "$out"
mkdir -p "$out"

failures=0
fail() { echo "smoke: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "smoke: ok: $*"; }

# ---- the X server ----

xvfb_pid=""
game_pid=""
play_after=25  # seconds from the start to the play screen, as run 1 sees it
cleanup() {
    [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# shellcheck source=virtual-x.sh
source "$root/scripts/virtual-x.sh"
start_x 640x480

# ---- looking at the screen ----

shot() { import -window root "$out/$1.png"; }

# Pixels of a screenshot that differ from the backdrop picture: few on the play screen (stars,
# sprites, the heads-up line), nearly all on any other picture.
backdrop_diff() { compare -metric AE "$out/$1.png" "$out/backdrop.png" null: 2>&1 || true; }

# Pure white pixels in a rectangle WxH+X+Y of a screenshot.
white_pixels() {
    "$convert_cmd" "$out/$1.png" -crop "$2" +repage -fill black +opaque white \
        -format '%[fx:round(mean*w*h)]' info:
}

# Pixels that differ between two screenshots.
changed_pixels() { compare -metric AE "$out/$1.png" "$out/$2.png" null: 2>&1 || true; }

"$convert_cmd" "$assets/LAVA.BMP" -type TrueColor "$out/backdrop.png"

# ---- one run of the program ----

start_game() {  # $1: log name; the rest: environment for the program
    local log=$1
    shift
    (cd "$assets" && exec env "$@" "$program") >"$out/$log.log" 2>&1 &
    game_pid=$!
    started_at=$(date +%s)
}

# Waits for the play screen after the intro: the backdrop under a few sprites.
wait_for_play() {  # $1: name for the first play screenshot
    local deadline=$((started_at + 60))
    while (($(date +%s) < deadline)); do
        kill -0 "$game_pid" 2>/dev/null || { fail "the program ended during the intro"; return 1; }
        shot "$1"
        local diff
        diff=$(backdrop_diff "$1")
        if [[ $diff =~ ^[0-9]+$ ]] && ((diff < 640 * 480 / 5)); then
            play_after=$(($(date +%s) - started_at))
            echo "smoke: play screen after $play_after s ($diff pixels off the backdrop)"
            return 0
        fi
        sleep 1
    done
    fail "no play screen within 60 s"
    return 1
}

focus_game() {
    local window
    window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Vorlash$' | head -n 1) || true
    [[ -n $window ]] || { fail "no window named Vorlash"; return 1; }
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
}

# Holds `key` for `seconds` (fractions allowed).
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

press_escape() {
    xdotool keydown Escape
    sleep 0.2
    xdotool keyup Escape
}

# ESC, then the program must end by itself within ten seconds with exit code 0 (it takes one
# or two; a hang never ends).
quit_and_wait() {  # $1: what this run is called; $2: what presses ESC (default press_escape)
    "${2:-press_escape}"
    local waited=0
    while kill -0 "$game_pid" 2>/dev/null && ((waited < 100)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "$1: still running 10 s after ESC"
        kill "$game_pid" 2>/dev/null || true
        game_pid=""
        return 1
    fi
    local code=0
    wait "$game_pid" || code=$?
    game_pid=""
    if ((code == 0)); then
        pass "$1: ended by itself $((waited / 10)).$((waited % 10)) s after ESC, exit code 0"
    else
        fail "$1: exit code $code"
    fi
}

# ---- what playing costs: CPU time from /proc, the frame rate from the host's presents ----

PRESENT_SYMBOL=_ZN7SdlHost7presentERK9HostFrame  # SdlHost::present(const HostFrame&)

# Nanoseconds a thread has run (the first field of its schedstat).
run_ns() { awk '{ print $1 }' "$1/schedstat" 2>/dev/null || echo 0; }
process_run_ns() {
    local total=0 task
    for task in /proc/"$game_pid"/task/*; do total=$((total + $(run_ns "$task"))); done
    echo "$total"
}

# The main thread's and the whole process's share of one core over ten seconds of play, as
# "main% process%": shares of the time that passed between the readings, not of the ten seconds asked.
cpu_shares() {
    local main0 all0 main1 all1 at0 at1
    at0=$(date +%s%N)
    main0=$(run_ns "/proc/$game_pid/task/$game_pid")
    all0=$(process_run_ns)
    sleep 10
    main1=$(run_ns "/proc/$game_pid/task/$game_pid")
    all1=$(process_run_ns)
    at1=$(date +%s%N)
    awk -v m=$((main1 - main0)) -v a=$((all1 - all0)) -v t=$((at1 - at0)) \
        'BEGIN { printf "%.1f %.1f\n", 100 * m / t, 100 * a / t }'
}

# Ten seconds of play with SPACE held: the main thread's and the whole process's share of one core
# must stay within $2 and $3 percent; then five seconds of the frame rate (presents a second), which
# must be 60 ± 2 where $4 is "rate". The ceilings are the ones a real fault crosses: a busy wait in
# the frame loop costs the main thread 15 % and the process 20 % or more. On this machine, quiet or
# with another process keeping a core busy, the main thread took 3.1 to 4.1 % at 640 × 480 and 3.4
# to 5.4 % at 1920 × 1080, the process 7.5 to 15.5 % (its share follows the piece of music drawn):
# each ceiling stands more than three standard deviations above the highest reading.
# The tighter goals are the scoreboard's to report, not this run's.
cost_check() {  # $1 what, $2 main thread %, $3 process %, $4 "rate" to check the frame rate
    local main_pct all_pct within waits fps
    within() { awk -v m="$main_pct" -v a="$all_pct" -v mm="$2" -v am="$3" 'BEGIN { exit !(m <= mm && a <= am) }'; }
    xdotool keydown space
    read -r main_pct all_pct < <(cpu_shares)
    # Presents counted by a probe on the host's present, which does not stop the thread as a tracer
    # would; where no probe can be placed, the sleeps to a refresh tick (one a frame that is on time).
    local event=syscalls:sys_enter_clock_nanosleep
    perf probe -q -x "$program" --add "$PRESENT_SYMBOL" 2>/dev/null && event="probe_vorlash:$PRESENT_SYMBOL"
    waits=$(perf stat -x, -e "$event" -t "$game_pid" -- sleep 5 2>&1 | awk -F, 'NF > 2 { print $1 + 0; exit }')
    perf probe -q -d "probe_vorlash:$PRESENT_SYMBOL" 2>/dev/null || true
    xdotool keyup space
    fps=$(awk -v n="$waits" 'BEGIN { printf "%.1f", n / 5 }')
    echo "smoke: $1: main thread $main_pct % of a core, whole process $all_pct %, $fps frames a second"
    if within "$@"; then
        pass "$1: CPU main thread $main_pct % (at most $2), process $all_pct % (at most $3)"
    else
        fail "$1: CPU main thread $main_pct % (at most $2), process $all_pct % (at most $3)"
    fi
    [[ ${4:-} == rate ]] || return 0
    if awk -v f="$fps" 'BEGIN { exit !(f >= 58 && f <= 62) }'; then
        pass "$1: $fps frames a second"
    else
        fail "$1: $fps frames a second, not 60"
    fi
}

# ---- run 1: picture and keys ----

start_game run1 SDL_AUDIODRIVER=dummy
sleep 2
shot intro1
if wait_for_play play0 && focus_game; then
    heads_up=$(white_pixels play0 400x16+10+26)
    above=$(white_pixels play0 640x22+0+0)
    # The stars are white too: a few of them may be above the line.
    if ((heads_up > 300 && above < 60)); then
        pass "heads-up line drawn at the top left ($heads_up white pixels, $above above it)"
    else
        fail "heads-up line: $heads_up white pixels in its place, $above above it"
    fi
    xdotool keydown space
    hold Down 0.6
    hold Right 1.0
    xdotool keydown Up
    shot play1
    sleep 0.5
    shot play2
    xdotool keyup Up
    hold Shift_L 0.1
    end=$(($(date +%s) + play_seconds))
    n=0
    while (($(date +%s) < end)); do
        hold Down 0.5
        hold Up 0.5
        n=$((n + 1))
        ((n % 3 == 0)) && shot "play-more-$n"
    done
    xdotool keyup space
    shot play3
    moved=$(changed_pixels play1 play2)
    if [[ $moved =~ ^[0-9]+$ ]] && ((moved > 1500)); then
        pass "sprites move ($moved pixels changed in half a second)"
    else
        fail "the picture did not move: $moved pixels changed"
    fi
    brightness=$("$convert_cmd" "$out/play2.png" -colorspace Gray -format '%[fx:mean]' info:)
    if awk -v b="$brightness" 'BEGIN { exit !(b > 0.04) }'; then
        pass "the play screen is lit (mean level $brightness)"
    else
        fail "the play screen is dark (mean level $brightness)"
    fi
    cost_check "640 x 480" 8 25 rate
    shot before-quit
    quit_and_wait "run 1"
fi

# ---- runs 2 and 2b: sound, through SDL's disk audio driver ----

# RMS and peak levels (dB) of a stretch of frames of a recording, after any further sox effects.
levels() {  # $1 recording, $2 first frame, $3 frame count, then effects
    sox -t raw -r 44100 -e signed-integer -b 16 -c 2 "$1" -n trim "$2s" "$3s" "${@:4}" stats 2>&1 |
        awk '/^RMS lev dB/ { rms = $4 } /^Pk lev dB/ { pk = $4 } END { print rms, pk }'
}

# Plays from the asset folder $3 with its sound written to $out/$2.raw: three seconds before any
# key, then three of firing while moving. Sets quiet_from, firing_from and firing_to (frames of
# the recording) and peak_kib, the most memory the program held; false without a play screen.
record_play() {  # $1 what the run is called, $2 name of its log and recording, $3 asset folder
    local assets=$3 recording=$out/$2.raw
    start_game "$2" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$recording"
    wait_for_play "$2-play0" && focus_game || return 1
    quiet_from=$(($(stat -c %s "$recording") / 4))  # frames: 16-bit stereo
    sleep 3
    firing_from=$(($(stat -c %s "$recording") / 4))
    xdotool keydown space
    hold Right 0.5
    hold Down 1.0
    hold Up 1.5
    xdotool keyup space
    firing_to=$(($(stat -c %s "$recording") / 4))
    peak_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null || echo 0)
    quit_and_wait "$1" || true  # a failed ending is counted; the recording still stands
}

# Run 2: music and effects as a player hears them: the music plays, firing sounds, nothing clips,
# and the memory held, music and effects playing, the screen full size.
audio_file=$out/audio.raw
if record_play "run 2" audio "$assets"; then
    if ((peak_kib > 0 && peak_kib < 64 * 1024)); then
        pass "peak memory $((peak_kib / 1024)) MiB (under 64 MiB)"
    else
        fail "peak memory ${peak_kib} KiB (64 MiB allowed)"
    fi
    read -r music_rms music_peak < <(levels "$audio_file" "$quiet_from" $((firing_from - quiet_from)))
    read -r effects_rms effects_peak < <(levels "$audio_file" "$firing_from" $((firing_to - firing_from)))
    read -r all_rms all_peak < <(levels "$audio_file" 0 $((firing_to)))
    echo "smoke: sound levels (dB): music alone RMS $music_rms peak $music_peak;" \
        "with effects RMS $effects_rms peak $effects_peak; whole run RMS $all_rms peak $all_peak"
    sox -t raw -r 44100 -e signed-integer -b 16 -c 2 "$audio_file" "$out/audio.wav" 2>/dev/null || true
    clipped=$(sox -t raw -r 44100 -e signed-integer -b 16 -c 2 "$audio_file" -t raw -e signed-integer -b 16 -c 1 - \
        remix 1 2>/dev/null | od -An -v -td2 -w2 | awk '$1 >= 32767 || $1 <= -32768 { n++ } END { print n + 0 }')
    if awk -v m="$music_rms" 'BEGIN { exit !(m > -45) }'; then
        pass "music plays (RMS $music_rms dB before any key)"
    else
        fail "no music: RMS $music_rms dB before any key"
    fi
    if awk -v e="$effects_rms" 'BEGIN { exit !(e > -45) }'; then
        pass "sound while firing (RMS $effects_rms dB)"
    else
        fail "silence while firing: RMS $effects_rms dB"
    fi
    if ((clipped < 100)); then
        pass "no clipping ($clipped full-scale samples on the left channel)"
    else
        fail "clipping: $clipped full-scale samples on the left channel"
    fi
fi

# Run 2b: the laser alone, from a copy of the asset folder without the music and the other sounds
# (the game plays on silently without them). The 11025 Hz laser has nothing of its own above 6 kHz,
# so what shows there through a steep high-pass is what the mixer adds: mirror images left by
# resampling without a reconstruction filter, or clicks where each shot's restart cuts the last.
# Beside the music, the figure would follow the piece drawn for the run (a drum or a cymbal there
# outweighs the images); beside the UFO's engine and the explosions, which sound at random moments of
# a run and reach up to the effects' highest frequency, it fell from 70 to 35 dB in some runs.
effects_assets=$out/assets-laser-alone
mkdir -p "$effects_assets"
for file in "$(cd "$assets" && pwd)"/*; do
    case ${file##*/} in
        lasertw.WAV) ln -s "$file" "$effects_assets/" ;;
        *.[mM][iI][dD] | *.[wW][aA][vV]) ;;
        *) ln -s "$file" "$effects_assets/" ;;
    esac
done
effects_file=$out/effects.raw
if record_play "run 2b (the laser alone)" effects "$effects_assets"; then
    read -r quiet_rms _ < <(levels "$effects_file" "$quiet_from" $((firing_from - quiet_from)))
    read -r firing_rms _ < <(levels "$effects_file" "$firing_from" $((firing_to - firing_from)))
    read -r high_rms _ < <(levels "$effects_file" "$firing_from" $((firing_to - firing_from)) sinc 6000)
    echo "smoke: the laser alone (dB): RMS $quiet_rms before any key, $firing_rms while firing, $high_rms of it above 6 kHz"
    if awk -v e="$firing_rms" 'BEGIN { exit !(e > -45) }'; then
        if awk -v e="$firing_rms" -v h="$high_rms" 'BEGIN { exit !(e - h >= 30) }'; then
            pass "effects clean above 6 kHz (RMS $high_rms dB against $firing_rms dB, 30 dB apart wanted)"
        else
            fail "images or clicks above 6 kHz while firing: RMS $high_rms dB against $firing_rms dB (30 dB apart wanted)"
        fi
    else
        fail "run 2b: silence while firing: RMS $firing_rms dB"
    fi
fi

# ---- run 3: a game controller ----

# The game built with a virtual game controller that lines on its input plug in and move
# (tests/smoke/virtual_pad_play.cpp): the left stick moves the gunship, A fires, Back quits.
pad_program=$build/tests/virtual_pad_play
ship_blue='b > r + 0.25 && b > g + 0.1'
bolt_cyan='g > 0.6 && b > 0.75 && r < 0.6'
# Pixels of one colour in the gunship's band, and the left edge and width of the box around them.
band_pixels() {  # $1: screenshot, $2: colour test -> "count left width"
    "$convert_cmd" "$out/$1.png" -crop 640x48+0+232 +repage -fx "($2) ? 1 : 0" \
        -format '%[fx:round(mean*w*h)] %@\n' info: 2>/dev/null | sed -E 's/^([0-9]+) ([0-9]+)x[0-9]+\+([0-9]+).*/\1 \3 \2/'
}
# Waits up to 8 s for the gunship in its band; the last screenshot is named $1.
ship_seen() {
    local count
    for _ in $(seq 16); do
        shot "$1"
        read -r count _ < <(band_pixels "$1" "$ship_blue")
        ((${count:-0} > 100)) && return 0
        sleep 0.5
    done
    return 1
}
pad() { echo "$*" >&4; }
pad_back() { pad button "$SDL_BUTTON_BACK" 1; sleep 0.2; pad button "$SDL_BUTTON_BACK" 0; }
SDL_BUTTON_A=0 SDL_BUTTON_BACK=4 SDL_AXIS_LEFTX=0

if [[ -n ${SMOKE_PROGRAM:-} ]]; then
    echo "smoke: run 3 plays the build's test program, not an installed copy: left out"
elif [[ ! -x $pad_program ]]; then
    fail "run 3: $pad_program is not built"
else
    mkfifo "$out/pad-input"
    exec 4<>"$out/pad-input"
    (cd "$assets" && exec env SDL_AUDIODRIVER=dummy "$pad_program" <&4) >"$out/run3.log" 2>&1 &
    game_pid=$!
    started_at=$(date +%s)
    if wait_for_play pad-play0 && focus_game; then
        pad attach
        sleep 0.5
        # A rock or the UFO may take the gunship before the stick is pushed; each try starts once
        # it is back on the screen.
        for try in 1 2 3; do
            ship_seen pad-start || continue
            pad axis "$SDL_AXIS_LEFTX" 32767
            sleep 1
            pad axis "$SDL_AXIS_LEFTX" 0
            sleep 0.2
            shot pad-moved
            read -r start_count start_left _ < <(band_pixels pad-start "$ship_blue")
            read -r moved_count moved_left _ < <(band_pixels pad-moved "$ship_blue")
            ((moved_count > 100 && moved_left > start_left + 60)) && break
            echo "smoke: run 3, try $try: gunship's pixels $start_count from x $start_left, then $moved_count from x $moved_left"
        done
        pad button "$SDL_BUTTON_A" 1
        sleep 0.8
        shot pad-firing
        pad button "$SDL_BUTTON_A" 0
        if ((${start_count:-0} > 100 && ${moved_count:-0} > 100 && ${moved_left:-0} > ${start_left:-640} + 60)); then
            pass "the left stick moves the gunship (left edge $start_left to $moved_left)"
        else
            fail "the left stick: gunship's pixels ${start_count:-0} from x ${start_left:-?}, then ${moved_count:-0} from x ${moved_left:-?}"
        fi
        read -r _ _ still_width < <(band_pixels pad-moved "$bolt_cyan")
        read -r _ _ firing_width < <(band_pixels pad-firing "$bolt_cyan")
        if ((${still_width:-0} < 150 && ${firing_width:-0} > 200)); then
            pass "A fires (bolts across $firing_width pixels of the gunship's band, $still_width before)"
        else
            fail "A: bolts across ${firing_width:-0} pixels of the gunship's band, ${still_width:-0} before"
        fi
        quit_and_wait "run 3 (Back on the controller)" pad_back
    fi
    exec 4>&-
fi

# ---- run 4: what playing costs on a large screen, where each frame is scaled to 1920 × 1080 ----

start_x 1920x1080
start_game run4 SDL_AUDIODRIVER=dummy
sleep $((play_after + 2))
if kill -0 "$game_pid" 2>/dev/null && focus_game; then
    shot large-play
    cost_check "1920 x 1080" 10 25 rate
    quit_and_wait "run 4"
else
    fail "run 4: the program did not play at 1920 x 1080"
fi

echo "smoke: screenshots and logs in $out"
if ((failures > 0)); then
    echo "smoke: $failures check(s) failed" >&2
    exit 1
fi
echo "smoke: all checks passed"
