#!/usr/bin/env bash
# Starts Questwright on a private Xvfb display and compares the caption of its
# main window, as the window system holds it, with the expected text.
#   usage: xvfb_caption.sh PROGRAM "expected caption"
# Only top-level windows with a WM_CLASS count: Qt also maps a 1x1 client
# leader window named after the program, which is not the window the user sees.
set -u
program=$1 expected=$2
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
command -v xprop >/dev/null || { echo "xprop is not installed"; exit 1; }

work=$(mktemp -d)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM

(cd "$work" && exec "$program") >"$work/app.log" 2>&1 &
app=$!

caption=""
for _ in $(seq 100); do
  for id in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}'); do
    xprop -id "$id" WM_CLASS 2>/dev/null | grep -q '^WM_CLASS(STRING) = ' || continue
    name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    [ -n "$name" ] || name=$(xprop -id "$id" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([A-Z_0-9]*) = "\(.*\)"$/\1/p')
    if [ -n "$name" ]; then caption=$name; break 2; fi
  done
  kill -0 "$app" 2>/dev/null || { echo "the program ended early"; cat "$work/app.log"; exit 1; }
  sleep 0.1
done

if [ "$caption" = "$expected" ]; then
  echo "caption: $caption"
  exit 0
fi
echo "expected caption: $expected"
echo "window system has: ${caption:-no window}"
cat "$work/app.log"
exit 1
