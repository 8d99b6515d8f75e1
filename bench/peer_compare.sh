#!/usr/bin/env bash
# Zelk beside a peer player, Debian's onscripter, on equivalent one-page
# games: one background picture and one page of text waiting for a click with
# its cursor blinking. Both run under a private Xvfb (with openbox as the
# window manager when it is installed) and SDL's dummy audio driver, each
# started RUNS times (3) in turn, and the medians are printed side by side:
#
#   start to window      process start until its window is viewable
#   first answer         (Zelk) process start until it answers a scripted
#                        command, under Xvfb and under SDL's dummy video
#   CPU at rest          share of one core over REST seconds (10) on the page
#   RSS, PSS             memory on the waiting page
#
# Usage: bench/peer_compare.sh [BIN_DIR]      (BIN_DIR: build/release/bin)
# Needs Xvfb and xdotool. The peer is skipped when it is not installed
# (apt-get install onscripter); nothing in the build or the tests needs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/release/bin}")
runs=${RUNS:-3}
rest=${REST:-10}
peer=/usr/games/onscripter
for tool in Xvfb xdotool iconv; do
    command -v "$tool" >/dev/null || {
        echo "peer_compare: $tool is needed" >&2
        exit 2
    }
done
[ -x "$bin/zelk" ] && [ -x "$bin/zelk-tool" ] || {
    echo "peer_compare: no zelk and zelk-tool in $bin" >&2
    exit 2
}

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${KEEP:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

# [SECTION] The games

text=$(printf 'はじめまして。ここから、あなたの物語が始まります。' | iconv -f UTF-8 -t CP932)

# The new game as zelk-tool makes it: its first page is the room with one
# character and two lines of text, reached from the title's first button.
"$bin/zelk-tool" new "$work/zelk" --title One --size 640x480 >/dev/null
zelk_start_button="150 262" # the title's first button, as zelk-tool new lays it out

mkdir "$work/peer"
cp "$work/zelk/image/bg_room.png" "$work/peer/bg.png"
# The click-wait cursors: the same picture strip Zelk blinks (the peer reads
# any picture format under these names).
cp "$work/zelk/image/cursor.png" "$work/peer/cursor0.bmp"
cp "$work/zelk/image/cursor.png" "$work/peer/cursor1.bmp"
font=$(fc-match -f '%{file}' ':lang=ja' 2>/dev/null || true)
[ -n "$font" ] && ln -s "$font" "$work/peer/default.ttf"
printf '*define\ngame\n*start\nbg "bg.png",1\n%s\\\nend\n' "$text" >"$work/peer/0.txt"

# [SECTION] Measures

now_us() { echo "${EPOCHREALTIME/./}"; }

# Nanoseconds of CPU that every thread of PID has run.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'
}

# Kilobytes: resident, proportional.
memory_kb() {
    awk '/^VmRSS:/ { print $2 }' /proc/"$1"/status
    awk '/^Pss:/ { print $2 }' /proc/"$1"/smaps_rollup
}

oks() { grep -c '^ok$' "$1" || true; }

# Waits, from `start` (µs), for PID's window to be viewable (unless the
# fourth argument is "nowindow") and, with an output file, for its first
# "ok"; prints the milliseconds to each (-1: never, 0: not waited for).
wait_up() {
    local pid=$1 start=$2 out=${3:-} window=-1 answer=-1 t
    [ -n "$out" ] || answer=0
    [ "${4:-}" = nowindow ] && window=0
    for _ in $(seq 4000); do
        t=$(now_us)
        if [ "$answer" = -1 ] && [ "$(oks "$out")" -gt 0 ]; then answer=$(((t - start) / 1000)); fi
        if [ "$window" = -1 ] && xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
            window=$(((t - start) / 1000))
        fi
        [ "$window" != -1 ] && [ "$answer" != -1 ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.003
    done
    echo "$window $answer"
}

# Share of a core, in percent, that PID takes over `rest` seconds.
rest_cpu() {
    local pid=$1 before after
    before=$(cpu_ns "$pid")
    sleep "$rest"
    after=$(cpu_ns "$pid")
    awk -v b="$before" -v a="$after" -v s="$rest" 'BEGIN { printf "%.2f", (a - b) / s / 1e7 }'
}

# [SECTION] Zelk

# One run: writes "window answer cpu rss pss" to standard output. The
# scripted input comes through a FIFO; its answers go to a file whose "ok"
# lines are counted.
zelk_ask() {
    local out=$1 fd=$2 command=$3 before
    before=$(oks "$out")
    echo "$command" >&"$fd"
    for _ in $(seq 3000); do
        [ "$(oks "$out")" -gt "$before" ] && return 0
        sleep 0.01
    done
    echo "peer_compare: zelk did not answer '$command'" >&2
    return 1
}

run_zelk() {
    local video=$1 run=$2 dir="$work/zelk-run-$1-$2" start pid fd up cpu mem i
    mkdir -p "$dir/home"
    mkfifo "$dir/in"
    start=$(now_us)
    env HOME="$dir/home" XDG_DATA_HOME="$dir/home/.local/share" SDL_AUDIODRIVER=dummy \
        SDL_VIDEODRIVER="$video" ZELK_INPUT=- "$bin/zelk" --window "$work/zelk" \
        <"$dir/in" >"$dir/out" 2>"$dir/err" &
    pid=$!
    pids+=("$pid")
    exec {fd}>"$dir/in"
    echo state >&"$fd"
    up=$(wait_up "$pid" "$start" "$dir/out" "$([ "$video" = dummy ] && echo nowindow)")
    if [ "$video" = dummy ]; then
        echo "- ${up#* } - - -"
    else
        # Past the logo to the title, then the page.
        for i in $(seq 200); do
            zelk_ask "$dir/out" "$fd" idle
            zelk_ask "$dir/out" "$fd" rects
            zelk_ask "$dir/out" "$fd" state
            grep '^state' "$dir/out" | tail -1 | grep -q ' mode=1 sub=3 ' &&
                grep -q '^rect .* main_menu ' "$dir/out" && break
            zelk_ask "$dir/out" "$fd" "wait 100"
        done
        zelk_ask "$dir/out" "$fd" "click $zelk_start_button"
        zelk_ask "$dir/out" "$fd" idle
        zelk_ask "$dir/out" "$fd" "wait 1500"
        zelk_ask "$dir/out" "$fd" state
        grep '^state' "$dir/out" | tail -1 | grep -q ' text=.' ||
            echo "peer_compare: zelk shows no page (run $run)" >&2
        cpu=$(rest_cpu "$pid")
        mem=$(memory_kb "$pid" | tr '\n' ' ')
        echo "$up $cpu $mem"
    fi
    echo quit >&"$fd"
    exec {fd}>&-
    wait "$pid" 2>/dev/null || true
}

# [SECTION] The peer

run_peer() {
    local run=$1 dir="$work/peer-run-$1" start pid up cpu mem
    mkdir -p "$dir/home"
    start=$(now_us)
    (cd "$work/peer" && exec env HOME="$dir/home" SDL_AUDIODRIVER=dummy "$peer" --window \
        --root "$work/peer" >"$dir/out" 2>&1) &
    pid=$!
    pids+=("$pid")
    up=$(wait_up "$pid" "$start")
    # The page is up at once; let its fade and first blinks pass.
    sleep 2
    cpu=$(rest_cpu "$pid")
    mem=$(memory_kb "$pid" | tr '\n' ' ')
    echo "${up% *} $cpu $mem"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# [SECTION] The X server, the runs and the table

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || {
    echo "peer_compare: Xvfb did not start" >&2
    exit 1
}
export DISPLAY=":$(head -1 "$work/display")"
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    pids+=("$!")
    sleep 1
fi
have_peer=0
[ -x "$peer" ] && have_peer=1
[ "$have_peer" = 1 ] || echo "peer_compare: $peer is not installed; Zelk alone" >&2

: >"$work/zelk.txt" >"$work/dummy.txt" >"$work/peer.txt"
for run in $(seq "$runs"); do
    run_zelk x11 "$run" >>"$work/zelk.txt"
    run_zelk dummy "$run" >>"$work/dummy.txt"
    [ "$have_peer" = 1 ] && run_peer "$run" >>"$work/peer.txt"
done

# median FILE COLUMN: the median of that column's numbers ("-" when none).
median() {
    awk -v c="$2" '$c != "-" && $c != "" { print $c }' "$1" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else print v[int((NR + 1) / 2)] }'
}
mib() { awk -v k="$1" 'BEGIN { if (k == "-") print "-"; else printf "%.1f", k / 1024 }'; }

row() { printf '%-34s %12s %12s\n' "$@"; }
echo "medians of $runs runs; Xvfb," \
    "window manager: $(command -v openbox >/dev/null && echo openbox || echo none), dummy audio"
row "" "zelk" "onscripter"
p() { if [ "$have_peer" = 1 ]; then median "$work/peer.txt" "$1"; else echo "-"; fi; }
row "start to window (ms)" "$(median "$work/zelk.txt" 1)" "$(p 1)"
row "start to first answer, Xvfb (ms)" "$(median "$work/zelk.txt" 2)" "-"
row "start to first answer, dummy (ms)" "$(median "$work/dummy.txt" 2)" "-"
row "CPU at rest on the page (%)" "$(median "$work/zelk.txt" 3)" "$(p 2)"
row "RSS on the page (MiB)" "$(mib "$(median "$work/zelk.txt" 4)")" "$(mib "$(p 3)")"
row "PSS on the page (MiB)" "$(mib "$(median "$work/zelk.txt" 5)")" "$(mib "$(p 4)")"
