# Sourced by ./test, ./run and the benchmark: starts a virtual X display when
# needed and a persistent wineserver, and stops what it started on exit.
# $root must be the project folder.  Call lgt_session_start [force-virtual].
. "$root/tools/wine-env.sh"

lgt_started_xvfb=""
lgt_session_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "$lgt_started_xvfb" ]; then
    kill "$lgt_started_xvfb" 2>/dev/null || true
  fi
}

lgt_session_start() {
  if [ -n "$1" ] || [ -z "$DISPLAY" ] || ! xdpyinfo >/dev/null 2>&1; then
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    lgt_started_xvfb=$!
    export DISPLAY=":$n"
    i=0
    until xdpyinfo >/dev/null 2>&1; do
      i=$((i + 1)); [ $i -gt 100 ] && { echo "Xvfb did not start" >&2; return 1; }
      sleep 0.1
    done
    lgt_virtual_display=1
  fi
  trap lgt_session_stop EXIT INT TERM
  # A persistent server makes each Wine start cost tens of milliseconds, not a second.
  "$WINESERVER" -p
  # The first program of a session starts Wine's background services, which
  # inherit its standard output and keep it open. Start them here, on the null
  # device, so no test's output pipe is held open after the test ended.
  "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
}
