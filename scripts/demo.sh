#!/usr/bin/env bash
# Sets everything up, builds the ready folder and runs the cluster on its demo data: the GPS server
# stand-in drives a simulated car, the OBD-II reader stand-in simulates its engine, and Vantrel
# shows both (Zorbel's balls when Vantrel is not built).
#
# With a desktop ($DISPLAY set) the programs open there and the demo ends when Vantrel is closed
# (Escape, or "Exit" in its tray menu). Without one they run on a private Xvfb display for
# DEMO_SECONDS (default 40) and screenshots are saved in build/demo/shots/.
#
# The project's demo log (tests/data/demo/DemoDrive.gps) is in the playback list of the
# configuration dialog ("Configure" in the tray menu, or a right click on the cluster). With
# DEMO_PLAYBACK=1 the demo opens the dialog and plays it by itself.
#
# It runs the build that scripts/arch.sh chooses (VZ_ARCH=win32|win64 forces one).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arch.sh
vz_choose_arch
vz_require_runnable
if [ "$VZ_ARCH" = both ]; then
    echo "demo: choose one build to run, VZ_ARCH=win32 or VZ_ARCH=win64" >&2
    exit 2
fi

scripts/setup.sh
preset=$(vz_preset "$VZ_ARCH")
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)" --target dist cluster_remote

run=build/demo
rm -rf "$run"
mkdir -p "$run/shots"
cp -r "$(vz_dist "$VZ_ARCH")" "$run/programs"
wine_run=$PWD/build/$preset/wine-run

if [ -n "${DISPLAY:-}" ]; then
    export WINE_RUN_DISPLAY=$DISPLAY
    headless=false
else
    headless=true
fi

cleanup() { "$wine_run" --stop; }
trap cleanup EXIT

programs=$run/programs
# The demo log where the dialog's playback list looks for logs.
mkdir -p "$programs/logs"
cp tests/data/demo/DemoDrive.gps "$programs/logs/"
log_path="Z:$(realpath "$programs")/logs/GPS.gps"
"$wine_run" reg add 'HKCU\Software\Brevanti\Vantrel' /v LogPath /t REG_SZ \
    /d "${log_path//\//\\}" /f >/dev/null 2>&1
for peer in GpsServer.exe ObdReader.exe; do
    if [ -f "$programs/$peer" ]; then
        (cd "$programs" && "$wine_run" "$peer" >/dev/null 2>&1 &)
    fi
done
if [ -f "$programs/Vantrel.exe" ]; then
    main=Vantrel.exe
else
    main=Zorbel.exe
fi
echo "demo: starting $main from $programs"

if ! $headless; then
    (cd "$programs" && "$wine_run" "$main")
    exit 0
fi

(cd "$programs" && "$wine_run" "$main" >/dev/null 2>&1 &)
display=$("$wine_run" --display)
if [ "${DEMO_PLAYBACK:-0}" = 1 ] && [ "$main" = Vantrel.exe ]; then
    if "$wine_run" "build/$preset/tests/cluster_remote.exe" play DemoDrive.gps; then
        echo "demo: playing logs/DemoDrive.gps through the cluster"
    else
        echo "demo: could not start the playback" >&2
    fi
fi
seconds=${DEMO_SECONDS:-40}
for ((t = 5; t <= seconds; t += 5)); do
    sleep 5
    shot=$run/shots/demo-$(printf '%03d' "$t")s.png
    DISPLAY=$display import -window root "$shot" 2>/dev/null && echo "demo: saved $shot"
done
echo "demo: done; screenshots in $run/shots/"
