#!/usr/bin/env bash
# The whole program for a while on the X display it is given (scripts/bench runs this under Xvfb), beside its two
# baselines, all at once on the same display, each in a directory of its own:
#   zavok            --input=file:STATE with all five sampling times at 0.1 s and every channel on, steady input
#   zavok --headless the same as a service without a display, publishing to an MQTT broker on this machine
#   zavok_bare_work  the same inherent work on the same timers, no window (the CPU baseline)
#   zavok_bare_window a Qt Widgets window with one label (the memory baseline)
#   zavok_bare_work --precise, the same with precise timers: a wake-up for each timer that ends apart
#   zavok_bare_work --window, the same work in a Qt Widgets program showing one label
# For each: CPU time (user + system) over the whole run and over the span after a warm-up of WARM seconds (start-up
# done), both from its process CPU clock, and the peak resident set (VmHWM) at the end; then SIGTERM. Writes one JSON
# object to OUT.
#
# Taken one after the other, a program and its baseline met a different machine: on a shared virtual machine the
# same run cost from 0.7 to 1.5 times itself a minute later. Running together over the same span, each meets what
# the other meets, and each takes well under 1 % of a core, so neither slows the other.
#
# Usage: whole_program.sh BUILD-DIR WORK-DIR SECONDS OUT [WARM]
set -euo pipefail
build=$1 work=$2 seconds=$3 out=$4 warm=${5:-5}

zavok=$build/src/zavok
bare_work=$build/bench/zavok_bare_work
bare_window=$build/bench/zavok_bare_window
cpu_clock=$build/bench/zavok_cpu_clock

rm -rf "$work"
mkdir -p "$work/xdg/zavok"
state=$work/state.txt
echo "240 32750 32750 32750 32750" >"$state"

# phones.zvk: the built-in picture, meters 0..100, limits 0 and 100, calibration 0 and 65500, the design names,
# every circuit on, every sampling time 0.1 s, every channel on (its value is not DIS).
{
    lines=(":/zavok/floorplan.png" 0 0 0 0 100 100 100 100)
    for _ in 1 2 3 4; do lines+=(0 100 0 65500); done
    lines+=(Pressure Volume Temperature Flow ENABLED ENABLED ENABLED ENABLED 0.1 0.1 0.1 0.1 0.1)
    lines+=(Pressure Volume Temperature Flow 50 50 50 50)
    for l in "${lines[@]}"; do printf '"%s"\r\n' "$l"; done
} >"$work/xdg/zavok/phones.zvk"

# Prints the CPU seconds (user + system, all threads, ended ones included) a running process has used so far, to
# the nanosecond; nothing for one that has ended.
cpu_seconds() {
    local line
    line=$("$cpu_clock" "$1")
    echo "${line#* }"
}

# Prints the peak resident set (VmHWM) of a running process in KiB.
peak_kb() {
    awk '/^VmHWM:/ {print $2}' "/proc/$1/status"
}

# start NAME COMMAND...: starts COMMAND in a directory of its own, with data and settings of its own (a copy of the
# settings above), so that no two programs share a sample file or a log.
names=()
declare -A pids warmed
start() {
    local name=$1
    shift
    mkdir -p "$work/$name/cwd" "$work/$name/xdg"
    cp -r "$work/xdg/zavok" "$work/$name/xdg/"
    (cd "$work/$name/cwd" && exec env XDG_DATA_HOME="$work/$name/xdg" "$@" >"$work/$name.out" 2>&1) &
    pids[$name]=$!
    names+=("$name")
}

# member NAME: the JSON member for NAME at the end of the span.
member() {
    local name=$1 pid=${pids[$1]} cpu peak
    cpu=$(cpu_seconds "$pid")
    if [ -z "${warmed[$1]}" ] || [ -z "$cpu" ] || ! peak=$(peak_kb "$pid" 2>/dev/null); then
        echo "\"$name\": {\"error\": \"ended before the span was over; see $work/$name.out\"}"
        return
    fi
    local steady
    steady=$(awk -v a="${warmed[$1]}" -v b="$cpu" 'BEGIN {printf "%.4f", b - a}')
    echo "\"$name\": {\"cpu_s\": $cpu, \"cpu_steady_s\": $steady, \"peak_rss_kb\": $peak," \
        "\"seconds\": $seconds, \"warm_s\": $warm}"
}

# Whether this build's program takes its inputs from a state file: it lists --input in its usage. A build that does
# not read its command line would start instead; it runs in a directory of its own until the timeout ends it.
mkdir -p "$work/probe"
takes_input=false
if (cd "$work/probe" && timeout 20 env QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$work/probe" "$zavok" --help 2>&1) |
    grep -q -- '--input'; then
    takes_input=true
fi

# The service publishes to a broker of its own on this machine.
port=$((18000 + $$ % 1000))
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nuser %s\n' "$port" "$(id -un)" \
    >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.out" 2>&1 &
broker=$!
sleep 1

if $takes_input; then
    start zavok "$zavok" "--input=file:$state"
    start zavok_headless env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$zavok" --headless "--input=file:$state" "--mqtt=mqtt://127.0.0.1:$port" --site=bench
fi
# The bare work's sample files lie as deep as the program's, in the copy of its data directory.
start bare_work "$bare_work" "$state" ../xdg/zavok
start bare_work_precise "$bare_work" --precise "$state" ../xdg/zavok
start bare_work_window "$bare_work" --window "$state" ../xdg/zavok
start bare_window "$bare_window"

sleep "$warm"
for name in "${names[@]}"; do
    warmed[$name]=$(cpu_seconds "${pids[$name]}")
done
sleep "$seconds"
members=()
for name in "${names[@]}"; do
    members+=("$(member "$name")")
done
for name in "${names[@]}"; do
    kill -TERM "${pids[$name]}" 2>/dev/null || true
    wait "${pids[$name]}" 2>/dev/null || true
done
kill "$broker" 2>/dev/null || true
wait "$broker" 2>/dev/null || true

if $takes_input; then
    samples=$(wc -l <"$work/zavok/xdg/zavok/x1values.zvk" 2>/dev/null || echo 0)
    members[0]="${members[0]%\}}, \"sample_file_lines\": $samples}"
else
    members=('"zavok": {"error": "this build of zavok does not take --input=file:PATH"}'
        '"zavok_headless": {"error": "this build of zavok does not take --input=file:PATH"}' "${members[@]}")
fi
(IFS=,; echo "{${members[*]}}") >"$out"
