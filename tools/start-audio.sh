#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a headless PulseAudio sound server with a null output and a null
# microphone, so that the recorder's tests can record and play through the
# real Qt Multimedia backend on a machine without sound hardware (CI, a
# container). Harmless when a server is running already: it then only makes
# sure the null devices exist.
#
# On success it prints one line, PULSE_SERVER=unix:..., for the caller to
# export (tests run with their own XDG_RUNTIME_DIR and need the address).
# On failure it prints why on standard error and exits non-zero; the
# real-device test then skips and says so.
set -u

fail() {
    echo "start-audio: $*" >&2
    exit 1
}

command -v pulseaudio >/dev/null 2>&1 || fail "pulseaudio is not installed (Debian package pulseaudio)"
command -v pactl >/dev/null 2>&1 || fail "pactl is not installed (Debian package pulseaudio-utils)"

runtime=${QUILLANE_AUDIO_RUNTIME:-/tmp/xdg-runtime-$(id -u)}
mkdir -p "$runtime" 2>/dev/null || fail "cannot make the runtime folder $runtime"
chmod 700 "$runtime" 2>/dev/null || true
export XDG_RUNTIME_DIR="$runtime"
socket="$runtime/pulse/native"
export PULSE_SERVER="unix:$socket"

if ! pactl info >/dev/null 2>&1; then
    # A stale socket or pid file from a server that died would stop a new one.
    rm -f "$runtime/pulse/pid" 2>/dev/null
    log="$runtime/pulseaudio.log"
    # --system=no with root: PulseAudio only warns; it runs as a per-user
    # daemon on the runtime folder given above.
    pulseaudio --daemonize=yes -n --exit-idle-time=-1 --disallow-exit --use-pid-file=yes \
        --log-target=file:"$log" \
        -L module-native-protocol-unix \
        -L "module-null-sink sink_name=nullsink" \
        -L "module-null-source source_name=nullsrc max_latency_msec=20" \
        -L "module-remap-source master=nullsink.monitor source_name=fakemic" >/dev/null 2>&1
    tries=0
    until pactl info >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ]; then
            reason=$(tail -n 3 "$log" 2>/dev/null | tr '\n' ' ')
            fail "the PulseAudio server did not start (${reason:-no log})"
        fi
        sleep 0.1
    done
fi

# A server that was running already may lack our devices.
if ! pactl list short sinks 2>/dev/null | grep -q nullsink; then
    pactl load-module module-null-sink sink_name=nullsink >/dev/null || fail "cannot add the null output"
fi
if ! pactl list short sources 2>/dev/null | grep -q nullsrc; then
    pactl load-module module-null-source source_name=nullsrc max_latency_msec=20 >/dev/null ||
        fail "cannot add the null microphone"
fi
pactl set-default-sink nullsink || fail "cannot make the null output the default"
pactl set-default-source nullsrc || fail "cannot make the null microphone the default"

echo "PULSE_SERVER=$PULSE_SERVER"
