#!/usr/bin/env bash
# Starts a program on a private Xvfb display, waits for its window and
# compares the caption the window system holds (WM_NAME / _NET_WM_NAME) with
# the expected text.  usage: xvfb_caption.sh PROGRAM "expected caption"
set -u
program=$1 expected=$2
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
command -v xprop >/dev/null || { echo "xprop is not installed"; exit 1; }

work=$(mktemp -d)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# One try: a fresh server and the program on it. Sets caption, or returns 2
# when the program could not reach the display (X servers started at the
# same moment by other tests can race for a display number), 1 otherwise.
try_once() {
  kill "${app:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null
  app="" xvfb="" caption=""
  : >"$work/display"
  # -displayfd lets the server pick a free display number.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; return 1; }
  export DISPLAY=":$(cat "$work/display")"
  unset QT_QPA_PLATFORM

  (cd "$work" && exec "$program") >"$work/app.log" 2>&1 &
  app=$!

  for _ in $(seq 100); do
    ids=$(xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*')
    [ -n "$ids" ] || ids=$(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}')
    for id in $ids; do
      # Qt keeps unmapped helper windows (the client leader, the selection
      # owner) named after the program: only a window on screen counts.
      xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
      name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
      [ -n "$name" ] || name=$(xprop -id "$id" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([A-Z_0-9]*) = "\(.*\)"$/\1/p')
      if [ -n "$name" ]; then caption=$name; return 0; fi
    done
    if ! kill -0 "$app" 2>/dev/null; then
      grep -q 'could not connect to display' "$work/app.log" && return 2
      echo "the program ended early"; cat "$work/app.log"; return 1
    fi
    sleep 0.1
  done
  return 0
}

for attempt in 1 2 3; do
  try_once
  status=$?
  [ "$status" -eq 2 ] || break
  echo "attempt $attempt: the program could not reach display $DISPLAY; trying a new server"
done
[ "$status" -eq 2 ] && { cat "$work/app.log"; exit 1; }
[ "$status" -eq 0 ] || exit 1

if [ "$caption" = "$expected" ]; then
  echo "caption: $caption"
  exit 0
fi
echo "expected caption: $expected"
echo "window system has: ${caption:-no window}"
cat "$work/app.log"
exit 1
