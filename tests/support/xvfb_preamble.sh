# shellcheck shell=bash
# Sourced, with no arguments, at the top of a script that drives the bar on an X display:
#   . "$(dirname "$0")/../support/xvfb_preamble.sh"
# Without LUMARINE_OWN_DISPLAY the script runs again under xvfb-run, on a display no other test
# shares; `xvfb_wrap`, when set, is an array run around it there (dbus-run-session --).
# Then Qt draws on X11, the web engine's sandbox is off for root (it refuses to start there),
# `work` is a fresh temporary folder and `pids` the processes to stop at exit. The exit trap
# kills them (with `kill_signal`, TERM unless set) and waits for them before removing `work`:
# one still writing its files on exit (a window manager saving its settings, the bar its
# profile) would make the removal fail.
if [ -z "${LUMARINE_OWN_DISPLAY:-}" ]; then
  export LUMARINE_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" ${xvfb_wrap[@]+"${xvfb_wrap[@]}"} "$0" "$@"
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
pids=()
trap 'kill -"${kill_signal:-TERM}" "${pids[@]}" 2>/dev/null || true
      wait "${pids[@]}" 2>/dev/null || true
      rm -rf "$work" 2>/dev/null || true' EXIT
