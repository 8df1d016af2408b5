# Common environment of the project's scripts: paths, the Wine prefix inside the build tree,
# the Chinese locale (Wine takes code page 936 from it) and a virtual display when none is set.
# Sourced, not run.
SM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SM_BUILD=${SM_BUILD:-$SM_ROOT/build}
export WINEPREFIX=$SM_BUILD/wineprefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
SM_WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDLLOVERRIDES=$SM_WINEDLLOVERRIDES
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

# The Windows form of a Linux path (Wine maps Z: to /).
sm_winpath() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

# The registry settings of a test or demo Wine prefix, as a .reg file in GBK on stdout; the
# arguments name the keys under HKLM that list the installed ODBC drivers (one per registry
# view the prefix's programs read).
sm_prefix_registry() {
  {
    printf 'REGEDIT4\r\n\r\n'
    # Faces the dialogs ask for, mapped to installed fonts so that Chinese text is readable.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "微软雅黑" "宋体" "新宋体" "黑体" "Tahoma" "Arial" "Times New Roman" "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "SimSun" "Microsoft YaHei"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    # No window manager runs on the virtual display: unmanaged windows keep Wine from waiting
    # for one each time a window is hidden.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
    local key
    for key in "$@"; do
      printf '\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n' "$key"
      printf '"%s"="Installed"\r\n' "$SM_XLS_DRIVER_NAME" FreeTDS
    done
  } | iconv -f UTF-8 -t GBK
}

# The drivers the tests load, registered in an odbcinst.ini of this checkout's own
# (ODBCSYSINI), so that two checkouts on one machine never test each other's driver. The
# system-wide registration that setup writes stays for users (isql, pyodbc). FreeTDS comes
# first, as there: unixODBC hands a connect string with an empty driver name to the first entry.
sm_private_odbc() {
  local dir=$SM_BUILD/odbc tds
  mkdir -p "$dir"
  tds=$(find /usr/lib -name libtdsodbc.so | head -1)
  cat > "$dir/odbcinst.ini" <<INI
[FreeTDS]
Description = FreeTDS
Driver = $tds

[$SM_XLS_DRIVER_NAME]
Description = SheetMover Excel workbooks (.xls, .xlsx, .xlsm), text in GBK
Driver = $SM_XLS_DRIVER_LIB
Charset = GBK

[$SM_XLS_DRIVER_NAME_UTF8]
Description = SheetMover Excel workbooks (.xls, .xlsx, .xlsm), text in UTF-8
Driver = $SM_XLS_DRIVER_LIB
Charset = UTF-8
INI
  : > "$dir/odbc.ini"
  export ODBCSYSINI=$dir
}

# Starts an Xvfb of this run's own on a free display number (Xvfb picks it) and exports
# DISPLAY; SM_XVFB_PID names the server so that the caller can stop it.
sm_own_display() {
  local fifo n=""
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  SM_XVFB_PID=$!
  read -r -t 20 n <"$fifo" || true
  rm -f "$fifo"
  [ -n "$n" ] || { echo "the virtual display did not start" >&2; return 1; }
  export DISPLAY=:$n
}

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
