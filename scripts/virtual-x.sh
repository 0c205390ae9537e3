# virtual-x.sh -- sourced by the smoke scripts: start_x runs a virtual X server of one screen size
# (a running one is stopped first), records its pid in xvfb_pid and points DISPLAY at it. Needs
# `out` (the folder for its log) set by the caller.

start_x() {  # $1: screen size WxH (24 bits a pixel)
    if [[ -n ${xvfb_pid:-} ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$out/display-number"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$out/display-number" 2>>"$out/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $out/display-number ]] && break
        sleep 0.1
    done
    export DISPLAY=":$(cat "$out/display-number")"
    xdpyinfo >/dev/null 2>&1 || { echo "$(basename "$0"): the X server did not start" >&2; exit 1; }
}
