# Shared by the scripts: build directories, a private Xvfb and the Wine prefix.
# Source it; it defines functions and sets nothing running by itself.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# LAUNCHER_BUILD_ROOT lets several work trees' builds and prefixes coexist.
BUILD_ROOT=${LAUNCHER_BUILD_ROOT:-$ROOT/build}
BUILD64=$BUILD_ROOT/x86_64
BUILD32=$BUILD_ROOT/i686
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=$BUILD_ROOT/wineprefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export LANG=${LANG:-C.UTF-8}

XVFB_PID=

# configure_and_build DIR ARCH [cmake args...]
configure_and_build() {
  local dir=$1 arch=$2
  shift 2
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
    "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

# Starts Xvfb on a free display (1024x768x24) and exports DISPLAY.
start_private_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

stop_private_xvfb() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# Makes the prefix once (with the font replacements and unmanaged windows),
# then keeps its wineserver warm until stop_wine.
start_wine() {
  if [ ! -f "$WINEPREFIX/.launcher-ready" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    local key='HKCU\Software\Wine\Fonts\Replacements'
    "$WINE" reg add "$key" /v SimHei /t REG_SZ /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
    "$WINE" reg add "$key" /v 黑体 /t REG_SZ /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.launcher-ready"
  fi
  "$WINESERVER" -p
  # Boot the prefix's services now: started from a test instead, they would
  # inherit its output pipes and keep ctest waiting for them to close.
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  "$WINESERVER" -k 2>/dev/null || true
}
