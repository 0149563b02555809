#!/bin/bash
# The Linux side of the gateway tests: a real gpsd fed by gpsfake, and a pseudo-terminal pair
# standing in for a serial receiver. The Windows-side test starts this script (Wine runs Linux
# programs it is asked to start) but gets no handle to wait on, so each command ends by writing
# its result to DONE ("ok" or "failed"), which the test waits for.
#   gps_gateway_peers.sh DONE gpsd STATE PORT LOG      gpsfake on 127.0.0.1:PORT, replaying LOG
#   gps_gateway_peers.sh DONE pty STATE LINK FEED       socat joining two ptys at LINK and FEED
#   gps_gateway_peers.sh DONE link NAME TARGET          a symbolic link, NAME -> TARGET
#   gps_gateway_peers.sh DONE unlink NAME               the link again
#   gps_gateway_peers.sh DONE stop STATE NAME           ends what "gpsd" or "pty" started
# STATE is a folder for the peers' pid files and output.
set -u
done_file=$1
command=$2
shift 2
result=failed
finish() { echo "$result" >"$done_file.tmp" && mv "$done_file.tmp" "$done_file"; }
trap finish EXIT
# Never the test runner's output: it would wait for the peers to end.
exec >/dev/null 2>&1 </dev/null

start() { # NAME COMMAND...: in its own session, so stopping it reaches its children too
    name=$1
    shift
    setsid "$@" >"$state/$name.out" 2>&1 </dev/null &
    echo $! >"$state/$name.pid"
}

stop() { # NAME
    [ -s "$state/$1.pid" ] || return 0
    pid=$(cat "$state/$1.pid")
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    kill -KILL -- "-$pid" 2>/dev/null
    rm -f "$state/$1.pid"
}

case "$command" in
gpsd)
    state=$1 port=$2 log=$3
    mkdir -p "$state"
    command -v gpsfake >/dev/null || exit 1
    # gpsfake runs its own gpsd: -N (foreground) -S PORT, a control socket of its own (-F), on
    # the loopback only; -n opens the fake device without waiting for a client. It replays the
    # log line by line every 10 ms, again and again. The control socket is gpsfake's own
    # (/tmp/gpsfake-PID.sock), so a system gpsd is never touched.
    start gpsd gpsfake -q -n -c 0.01 -W 3600 -P "$port" "$log"
    # Ready once gpsd answers on its port.
    i=0
    until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || [ $i -ge 100 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    [ $i -lt 100 ] && result=ok
    ;;
pty)
    state=$1 link=$2 feed=$3
    mkdir -p "$state"
    rm -f "$link" "$feed"
    start pty socat pty,raw,echo=0,link="$link" pty,raw,echo=0,link="$feed"
    i=0
    until { [ -e "$link" ] && [ -e "$feed" ]; } || [ $i -ge 100 ]; do
        sleep 0.05
        i=$((i + 1))
    done
    [ $i -lt 100 ] && result=ok
    ;;
link)
    ln -sfn "$2" "$1" && result=ok
    ;;
unlink)
    [ -L "$1" ] && rm -f "$1" && result=ok
    ;;
stop)
    state=$1
    stop "$2" && result=ok
    ;;
esac
