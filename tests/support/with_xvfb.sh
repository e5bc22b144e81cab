#!/bin/bash
# Runs a command on a private Xvfb: with_xvfb.sh WIDTHxHEIGHT command args...
set -u
size=$1; shift
for n in $(seq 90 190); do
  [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { disp=$n; break; }
done
Xvfb :$disp -screen 0 ${size}x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for i in $(seq 1 100); do
  [ -e /tmp/.X11-unix/X$disp ] && break
  sleep 0.05
done
export DISPLAY=:$disp
unset QT_QPA_PLATFORM
"$@"
