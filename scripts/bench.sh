#!/usr/bin/env bash
# Builds the benchmarks and runs them; they print figures and judge none.
#
#  1. Natively (Release, no sanitizers): Zorbel's motion step; the cluster's gauge value pass;
#     composing one frame of the "Cluster" skin and of the every-kind skin on the recording
#     backend (our own code without any drawing).
#  2. Under Wine with real GDI+, in the Windows build that scripts/arch.sh chooses: the cluster's
#     whole frame tick for both skins (a new fix every tick, and for the every-kind skin engine
#     values too; then the shipped skin with no fix), split into its parts, and what the
#     wineserver and Xvfb spend per tick besides; then what single GDI+ calls cost on each
#     skin's back buffer.
#  3. Under Wine: Vantrel's share of one core over BENCH_SECONDS (60) after BENCH_SETTLE (15)
#     seconds, with the GPS server stand-in driving and with no GPS server at all, and the
#     wineserver's and Xvfb's shares in the same window, and Vantrel's resident memory at the
#     end. BENCH_RUNS=N repeats both runs, interleaved, and prints the medians (default 1).
#     BENCH_COMPARE=DIR measures the ready folder DIR of an earlier build (of the same
#     architecture) the same way, interleaved with this build's runs, so that both are compared
#     on one machine at one time.
#  4. Under Wine: the frames Vantrel draws a second in the same two cases (and for the earlier
#     build), counted as the WM_PAINT messages its window gets, from Wine's message trace.
#
# BENCH_TICKS (300) sets the frame ticks per skin of step 2. Every Windows program runs from a
# scratch copy of the ready folder in build/bench-wine/, through the build's Wine runner; each
# step ends every process of the runner's prefix and display first, so nothing else is measured.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arch.sh
vz_choose_arch
vz_require_runnable
if [ "$VZ_ARCH" = both ]; then
    echo "bench: choose one build to measure, VZ_ARCH=win32 or VZ_ARCH=win64" >&2
    exit 2
fi

runs=${BENCH_RUNS:-1}
ticks=${BENCH_TICKS:-300}
settle=${BENCH_SETTLE:-15}
seconds=${BENCH_SECONDS:-60}

scripts/setup.sh

# --- 1. natively -------------------------------------------------------------------------------

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVZ_SANITIZE=OFF >/dev/null
cmake --build build/bench -j"$(nproc)" --target benchmarks >/dev/null
for bench in build/bench/bench/*/*_bench; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench") (natively)"
    "$bench"
done

# --- the Windows build and its scratch folder --------------------------------------------------

preset=$(vz_preset "$VZ_ARCH")
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)" --target dist benchmarks >/dev/null
wine_run=$PWD/build/$preset/wine-run
run=build/bench-wine
clock_tick=$(getconf CLK_TCK)

trap '"$wine_run" --stop' EXIT

compare=${BENCH_COMPARE:-}
if [ -n "$compare" ] && [ ! -f "$compare/Vantrel.exe" ]; then
    echo "bench: BENCH_COMPARE=$compare holds no Vantrel.exe" >&2
    exit 2
fi

# A fresh copy of a ready folder (this build's unless one is given) at $run/programs, with no
# settings of an earlier run.
fresh_programs() {
    local from=${1:-$(vz_dist "$VZ_ARCH")}
    "$wine_run" --stop
    rm -rf "$run"
    mkdir -p "$run"
    cp -r "$from" "$run/programs"
    "$wine_run" --start
    "$wine_run" reg delete 'HKCU\Software\Brevanti\Vantrel' /f >/dev/null 2>&1 || true
}

# The Linux pid of the prefix's process NAME (Windows programs by their file name, "Xvfb",
# "wineserver" whatever its build's suffix); empty when it is not running.
pid_of() {
    "$wine_run" --processes | awk -v name="$1" '$2 == name || (name == "wineserver" && $2 ~ /^wineserver/) { print $1; exit }'
}

# User and system time of a process so far, in clock ticks (fields 14 and 15 of its stat line,
# counted after the command name, which may hold blanks).
cpu_ticks() {
    if [ -z "$1" ] || [ ! -r "/proc/$1/stat" ]; then
        echo 0
        return
    fi
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

now() { date +%s.%N; }

# The median of the numbers given.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# --- 2. the frame tick under Wine --------------------------------------------------------------

# Runs the Windows-side benchmark for one skin; prints its figures and the wineserver's and
# Xvfb's CPU time per tick: a run of N ticks less a run of none (start-up, skin load, warm-up).
frame_bench() {
    local skin=$1
    shift
    local server xvfb
    server=$(pid_of wineserver)
    xvfb=$(pid_of Xvfb)
    local -a spent
    for n in 0 "$ticks"; do
        local s0 x0
        s0=$(cpu_ticks "$server")
        x0=$(cpu_ticks "$xvfb")
        if [ "$n" = 0 ]; then
            (cd "$run/programs" && "$wine_run" cluster_wine_bench.exe "$skin" /ticks 0 "$@") >/dev/null
        else
            (cd "$run/programs" && "$wine_run" cluster_wine_bench.exe "$skin" /ticks "$n" "$@")
        fi
        spent+=($(($(cpu_ticks "$server") - s0)) $(($(cpu_ticks "$xvfb") - x0)))
    done
    [ "$ticks" -gt 0 ] || return 0
    awk -v s="$((spent[2] - spent[0]))" -v x="$((spent[3] - spent[1]))" -v hz="$clock_tick" -v n="$ticks" \
        'BEGIN { printf "  outside the process, per tick (%d ticks less none): wineserver %.0f us, Xvfb %.0f us\n", n, s / hz / n * 1e6, x / hz / n * 1e6 }'
}

fresh_programs
cp "build/$preset/bench/cluster_wine/cluster_wine_bench.exe" "$run/programs/"
mkdir -p "$run/programs/EveryKind"
echo "== cluster_wine_bench (under $("$wine_run" --version 2>/dev/null || echo Wine), $VZ_ARCH build)"
# Each with the frame cache and, to compare, drawn whole every frame; then with no fix, where
# only the clock changes (a frame a second), as with no GPS server.
for cache in on off; do
    frame_bench Cluster /trail empty /cache "$cache"
    frame_bench Cluster /trail full /cache "$cache"
    frame_bench EveryKind /trail full /cache "$cache"
    frame_bench EveryKind /trail full /engine /cache "$cache"
done
frame_bench Cluster /trail full /steady
for skin in Cluster EveryKind; do
    (cd "$run/programs" && "$wine_run" cluster_wine_bench.exe "$skin" /primitives)
done

# --- 3. Vantrel's CPU share under Wine ---------------------------------------------------------

# One window of $seconds: starts Vantrel (and the GPS server stand-in with "gps") from this
# build's ready folder or the one given, waits, then prints "vantrel wineserver xvfb gpsserver"
# as percent of one core and Vantrel's resident MiB.
cpu_share_run() {
    local with=$1
    fresh_programs "${2:-}"
    # Started with nothing of this function's output attached, which its caller reads to the end.
    if [ "$with" = gps ]; then
        (cd "$run/programs" && exec "$wine_run" GpsServer.exe) >/dev/null 2>&1 &
    fi
    (cd "$run/programs" && exec "$wine_run" Vantrel.exe) >/dev/null 2>&1 &
    sleep "$settle"
    local vantrel server xvfb gps=""
    vantrel=$(pid_of Vantrel.exe)
    server=$(pid_of wineserver)
    xvfb=$(pid_of Xvfb)
    [ "$with" = gps ] && gps=$(pid_of GpsServer.exe)
    if [ -z "$vantrel" ] || { [ "$with" = gps ] && [ -z "$gps" ]; }; then
        echo "bench: Vantrel.exe or GpsServer.exe is not running after ${settle} s" >&2
        return 1
    fi
    local v0 s0 x0 g0 t0 t1
    t0=$(now)
    v0=$(cpu_ticks "$vantrel")
    s0=$(cpu_ticks "$server")
    x0=$(cpu_ticks "$xvfb")
    g0=$(cpu_ticks "$gps")
    sleep "$seconds"
    t1=$(now)
    if [ ! -d "/proc/$vantrel" ]; then
        echo "bench: Vantrel.exe ended during the measurement" >&2
        return 1
    fi
    local rss
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$vantrel/status")
    awk -v v="$(($(cpu_ticks "$vantrel") - v0))" -v s="$(($(cpu_ticks "$server") - s0))" -v r="$rss" \
        -v x="$(($(cpu_ticks "$xvfb") - x0))" -v g="$(($(cpu_ticks "$gps") - g0))" \
        -v hz="$clock_tick" -v t="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" \
        'BEGIN { f = 100 / hz / t; printf "%.2f %.2f %.2f %.2f %.1f\n", v * f, s * f, x * f, g * f, r / 1024 }'
}

# Runs with the stand-in and without it, interleaved, so that a change in the machine's load
# falls on both; then the medians of each.
cpu_shares() {
    local -a with_gps=() without=() earlier_gps=() earlier_none=()
    local -a builds=(this)
    [ -n "$compare" ] && builds+=(earlier)
    for ((i = 1; i <= runs; i++)); do
        for build in "${builds[@]}"; do
            local from="" name=""
            [ "$build" = earlier ] && from=$compare && name=" (earlier build)"
            for with in gps none; do
                local shares v s x g r
                shares=$(cpu_share_run "$with" "$from")
                read -r v s x g r <<<"$shares"
                if [ "$with" = gps ]; then
                    if [ "$build" = earlier ]; then earlier_gps+=("$v $s $x $r"); else with_gps+=("$v $s $x $r"); fi
                    echo "  run $i$name, GPS server stand-in driving: Vantrel $v % (resident $r MiB), wineserver $s %, Xvfb $x %, GpsServer $g %"
                else
                    if [ "$build" = earlier ]; then earlier_none+=("$v $s $x $r"); else without+=("$v $s $x $r"); fi
                    echo "  run $i$name, no GPS server: Vantrel $v % (resident $r MiB), wineserver $s %, Xvfb $x %"
                fi
            done
        done
    done
    local label list
    local -a labels=("GPS server stand-in driving" "no GPS server")
    [ -n "$compare" ] && labels+=("earlier build, GPS server stand-in driving" "earlier build, no GPS server")
    for label in "${labels[@]}"; do
        case $label in
        "no GPS server") list=("${without[@]}") ;;
        "earlier build, GPS"*) list=("${earlier_gps[@]}") ;;
        "earlier build, no"*) list=("${earlier_none[@]}") ;;
        *) list=("${with_gps[@]}") ;;
        esac
        printf '  %s, median of %d: Vantrel %s %% of one core, resident %s MiB, wineserver %s %%, Xvfb %s %%\n' \
            "$label" "$runs" \
            "$(median $(printf '%s\n' "${list[@]}" | awk '{ print $1 }'))" \
            "$(median $(printf '%s\n' "${list[@]}" | awk '{ print $4 }'))" \
            "$(median $(printf '%s\n' "${list[@]}" | awk '{ print $2 }'))" \
            "$(median $(printf '%s\n' "${list[@]}" | awk '{ print $3 }'))"
    done
}

echo "== Vantrel under Wine, CPU share over ${seconds} s after ${settle} s, shipped skin, $runs run(s) of each"
cpu_shares

# --- 4. frames Vantrel draws a second ----------------------------------------------------------

# One window of $seconds, as in the CPU runs, with Wine's message trace on: every frame drawn
# reaches the window as one WM_PAINT, and nothing else in the program paints. The trace costs a
# little CPU, so these runs are apart from the CPU runs; the frames follow the data, not the CPU.
# Prints the frames a second.
frames_run() {
    local with=$1
    fresh_programs "${2:-}"
    local log=$run/messages.log
    if [ "$with" = gps ]; then
        (cd "$run/programs" && exec "$wine_run" GpsServer.exe) >/dev/null 2>&1 &
    fi
    (cd "$run/programs" && VZ_WINEDEBUG=-all,trace+msg exec "$wine_run" Vantrel.exe) >"$log" 2>&1 &
    sleep "$settle"
    local f0 f1
    f0=$(grep -c 'msg=WM_PAINT' "$log" || true)
    sleep "$seconds"
    f1=$(grep -c 'msg=WM_PAINT' "$log" || true)
    awk -v f="$((f1 - f0))" -v t="$seconds" 'BEGIN { printf "%.2f\n", f / t }'
}

echo "== Vantrel under Wine, frames drawn a second over ${seconds} s after ${settle} s, shipped skin"
for build in this earlier; do
    from="" name=""
    if [ "$build" = earlier ]; then
        [ -n "$compare" ] || continue
        from=$compare name=" (earlier build)"
    fi
    echo "  GPS server stand-in driving$name: $(frames_run gps "$from") frames a second"
    echo "  no GPS server$name: $(frames_run none "$from") frames a second"
done
