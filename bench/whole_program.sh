#!/usr/bin/env bash
# The whole program for a while on the X display it is given (scripts/bench runs this under Xvfb), beside its two
# baselines, one after the other on the same display and the same directory:
#   zavok            --input=file:STATE with all five sampling times at 0.1 s and every channel on, steady input
#   zavok --headless the same as a service without a display, publishing to an MQTT broker on this machine
#   zavok_bare_work  the same inherent work on the same timers, no window (the CPU baseline)
#   zavok_bare_window a Qt Widgets window with one label (the memory baseline)
#   zavok_bare_work --precise, the same with precise timers, as the program's scheduler has them
#   zavok_bare_work --window, the same work in a Qt Widgets program showing one label
# For each: CPU time (user + system) over the whole run and over the span after a warm-up of WARM seconds (start-up
# done), and the peak resident set (VmHWM) at the end; then SIGTERM. Writes one JSON object to OUT.
#
# Usage: whole_program.sh BUILD-DIR WORK-DIR SECONDS OUT [WARM]
set -euo pipefail
build=$1 work=$2 seconds=$3 out=$4 warm=${5:-5}

zavok=$build/src/zavok
bare_work=$build/bench/zavok_bare_work
bare_window=$build/bench/zavok_bare_window
ticks=$(getconf CLK_TCK)

rm -rf "$work"
mkdir -p "$work/xdg/zavok" "$work/cwd" "$work/bare"
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

# Prints "cpu_seconds peak_kb" of a running process.
sample() {
    local pid=$1 stat fields
    stat=$(cat "/proc/$pid/stat")
    # The command name may hold blanks: the fields that follow it start after its closing parenthesis.
    read -r -a fields <<<"${stat##*) }"
    # utime and stime are fields 14 and 15 of the whole line, 12 and 13 after the name (from 0).
    local cpu=$(( fields[11] + fields[12] ))
    local hwm
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
    echo "$(awk -v c="$cpu" -v t="$ticks" 'BEGIN {printf "%.3f", c / t}') $hwm"
}

# run NAME DIR COMMAND...: runs COMMAND in DIR for the span, prints the JSON member for NAME.
run() {
    local name=$1 dir=$2
    shift 2
    (cd "$dir" && exec env XDG_DATA_HOME="$work/xdg" "$@" >"$work/$name.out" 2>&1) &
    local pid=$!
    sleep "$warm"
    local warmed figures
    warmed=$(sample "$pid" 2>/dev/null) || warmed=""
    sleep "$seconds"
    if [ -z "$warmed" ] || ! kill -0 "$pid" 2>/dev/null; then
        echo "\"$name\": {\"error\": \"ended before the span was over; see $work/$name.out\"}"
        return
    fi
    figures=$(sample "$pid")
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    local steady
    steady=$(awk -v a="${warmed% *}" -v b="${figures% *}" 'BEGIN {printf "%.3f", b - a}')
    echo "\"$name\": {\"cpu_s\": ${figures% *}, \"cpu_steady_s\": $steady, \"peak_rss_kb\": ${figures#* }," \
        "\"seconds\": $seconds, \"warm_s\": $warm}"
}

# Whether this build's program takes its inputs from a state file: it lists --input in its usage. A build that does
# not read its command line would start instead; it runs in a directory of its own until the timeout ends it.
mkdir -p "$work/probe"
if (cd "$work/probe" && timeout 20 env QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$work/probe" "$zavok" --help 2>&1) |
    grep -q -- '--input'; then
    zavok_member=$(run zavok "$work/cwd" "$zavok" "--input=file:$state")
    samples=$(wc -l <"$work/xdg/zavok/x1values.zvk" 2>/dev/null || echo 0)
    zavok_member="${zavok_member%\}}, \"sample_file_lines\": $samples}"
else
    zavok_member='"zavok": {"error": "this build of zavok does not take --input=file:PATH"}'
fi
# The same program as a service, with no display, publishing to a broker of its own on this machine.
port=$((18000 + $$ % 1000))
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nuser %s\n' "$port" "$(id -un)" \
    >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.out" 2>&1 &
broker=$!
sleep 1
mkdir -p "$work/headless"
headless_member=$(run zavok_headless "$work/headless" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$zavok" --headless "--input=file:$state" "--mqtt=mqtt://127.0.0.1:$port" --site=bench)
kill "$broker" 2>/dev/null || true
wait "$broker" 2>/dev/null || true
bare_work_member=$(run bare_work "$work/bare" "$bare_work" "$state" "$work/bare")
precise_member=$(run bare_work_precise "$work/bare" "$bare_work" --precise "$state" "$work/bare")
windowed_member=$(run bare_work_window "$work/bare" "$bare_work" --window "$state" "$work/bare")
bare_window_member=$(run bare_window "$work/bare" "$bare_window")

printf '{%s, %s, %s, %s, %s, %s}\n' "$zavok_member" "$headless_member" "$bare_work_member" "$precise_member" \
    "$windowed_member" "$bare_window_member" >"$out"
