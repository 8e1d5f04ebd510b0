#!/usr/bin/env bash
# Runs one test program on a desktop of its own: a virtual X screen on a free
# display, the openbox window manager on it, then the program. Exits 77
# (skipped) when the tools are missing.
set -u
for tool in Xvfb openbox xdotool xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "desktop test skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
wm="" xvfb=""
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the pipe; the
# window manager is up once it announces itself on the root window.
start_desktop() {
  rm -f "$work/display"
  mkfifo "$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  if ! read -r -t 20 number <"$work/display"; then
    echo "Xvfb did not start:"; cat "$work/xvfb.log"; return 1
  fi
  export DISPLAY=":$number"
  unset WAYLAND_DISPLAY
  HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.05
  done
  echo "openbox did not start on $DISPLAY:"; cat "$work/openbox.log"; cat "$work/xvfb.log"
  return 1
}

# Many desktops start at once in a parallel test run; one that comes up
# broken is taken down and started again.
for attempt in 1 2 3; do
  start_desktop && break
  [ "$attempt" = 3 ] && exit 1
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  wm="" xvfb=""
done

"$@"
status=$?
if [ "$status" != 0 ] && [ -s "$work/openbox.log" ]; then
  echo "openbox said:"; cat "$work/openbox.log"
fi
kill -0 "$wm" 2>/dev/null || echo "openbox is no longer running"
exit "$status"
