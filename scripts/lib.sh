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
  "$WINESERVER" -p || true  # already running for this prefix is fine
  # Boot the prefix's services now: started from a test instead, they would
  # inherit its output pipes and keep ctest waiting for them to close.
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  "$WINESERVER" -k 2>/dev/null || true
}

INSTALLER_NAME=ny_setup_hx_v1.1.9.5026.exe
DEMO_NGINX_PID=

# make_demo_payload OUTPUT SIZE: the demo installer padded to SIZE bytes.
make_demo_payload() {
  mkdir -p "$(dirname "$1")"
  /usr/bin/python3 "$ROOT/tools/demo/make_payload.py" "$BUILD64/demo_installer.exe" "$1" "$2"
}

# start_demo_server PREFIX PORT DOCROOT RATE: nginx on 127.0.0.1:PORT.
start_demo_server() {
  local prefix=$1 port=$2 docroot=$3 rate=$4
  mkdir -p "$prefix/tmp"
  sed -e "s|@PREFIX@|$prefix|g" -e "s|@PORT@|$port|g" -e "s|@ROOT@|$docroot|g" \
      -e "s|@RATE@|$rate|g" "$ROOT/tools/demo/nginx.conf.in" >"$prefix/nginx.conf"
  /usr/sbin/nginx -p "$prefix" -c "$prefix/nginx.conf" -e "$prefix/error.log" &
  DEMO_NGINX_PID=$!
  local i
  for i in $(seq 1 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    kill -0 "$DEMO_NGINX_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "nginx did not start on 127.0.0.1:$port (see $prefix/error.log)" >&2
  return 1
}

stop_demo_server() {
  if [ -n "$DEMO_NGINX_PID" ]; then
    kill "$DEMO_NGINX_PID" 2>/dev/null || true
    wait "$DEMO_NGINX_PID" 2>/dev/null || true
    DEMO_NGINX_PID=
  fi
}
