#!/usr/bin/env bash
# The installed program's exit statuses and streams, as a shell sees them:
# 0 with help on stdout, 2 for a usage error, 1 for a file that cannot be
# read, and 1 when its output cannot be written; --version names the version.
#   usage: exit_status.sh PATH/TO/wright VERSION
set -u
wright=$1 version=$2
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expect() {  # expect STATUS STREAM-THAT-MUST-HOLD-TEXT TEXT -- ARGS...
  local status=$1 stream=$2 text=$3
  shift 4
  "$wright" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$status" ]; then
    echo "FAIL: wright $* exited $got, not $status"; failures=$((failures + 1)); return
  fi
  if ! grep -qF -- "$text" "$work/$stream"; then
    echo "FAIL: wright $*: $stream lacks '$text':"; cat "$work/$stream"; failures=$((failures + 1))
  fi
}

expect 0 out "Usage: wright COMMAND" -- --help
expect 2 err "unknown command 'mapz'" -- mapz
expect 2 err "Try 'wright maps --help'" -- maps export "$work/MAPS.BSA"
expect 1 err "$work/none.bsa" -- maps export "$work/none.bsa" -o "$work/m.pot"

"$wright" --version >"$work/out" 2>"$work/err"
got=$?
if [ "$got" -ne 0 ] || [ "$(cat "$work/out")" != "wright $version" ] || [ -s "$work/err" ]; then
  echo "FAIL: wright --version exited $got with: $(cat "$work/out" "$work/err")"; failures=$((failures + 1))
fi

"$wright" --help >/dev/full 2>"$work/err"
got=$?
if [ "$got" -ne 1 ] || ! grep -qF "cannot write to standard output" "$work/err"; then
  echo "FAIL: help into a full disk exited $got"; failures=$((failures + 1))
fi

# Outputs that are streams: written directly, never replaced. A MONSTER.BSA
# of empty names still makes a template (its header).
truncate -s 32768 "$work/MONSTER.BSA"
"$wright" monsters export "$work/MONSTER.BSA" -o /dev/stdout >"$work/stdout.pot" 2>"$work/err" &&
  grep -qF 'msgid ""' "$work/stdout.pot" && [ -L /dev/stdout ] ||
  { echo "FAIL: -o /dev/stdout"; cat "$work/err"; failures=$((failures + 1)); }
"$wright" monsters export "$work/MONSTER.BSA" -o - 2>"$work/err" | grep -qF 'msgid ""' &&
  grep -qF -- "-: 0 monster names" "$work/err" ||
  { echo "FAIL: -o - into a pipe"; cat "$work/err"; failures=$((failures + 1)); }
expect 1 err "No space left on device" -- monsters export "$work/MONSTER.BSA" -o /dev/full
[ -c /dev/full ] || { echo "FAIL: /dev/full was replaced"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all exit statuses as expected"
exit "$failures"
