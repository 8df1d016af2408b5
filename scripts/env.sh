# Common environment of the project's scripts: paths, the Wine prefix inside the build tree,
# the Chinese locale (Wine takes code page 936 from it) and a virtual display when none is set.
# Sourced, not run.
SM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SM_BUILD=${SM_BUILD:-$SM_ROOT/build}
export WINEPREFIX=$SM_BUILD/wineprefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Exports the Chinese locale once it is generated (setup generates it).
sm_chinese_locale() {
  if locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  fi
}
sm_chinese_locale
SM_XLS_DRIVER_NAME="SheetMover Excel Driver (*.xls)"
SM_XLS_DRIVER_NAME_UTF8="SheetMover Excel Driver UTF-8"
SM_XLS_DRIVER_LIB=$SM_BUILD/native/drivers/xls/libsheetmover_xls.so

# Starts Xvfb on :$1 (default 99) unless a display is already given; exports DISPLAY.
sm_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=${1:-99}
  export DISPLAY=:$n
  if ! xdpyinfo >/dev/null 2>&1; then
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  xdpyinfo >/dev/null 2>&1 || { echo "virtual display :$n did not start" >&2; return 1; }
}
