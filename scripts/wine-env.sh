#!/usr/bin/env bash
# A fresh, quiet Wine for running the wizard: shared by the end-to-end tests and
# scripts/demo.
#
# Sourced (also under set -e), it defines:
#   wine_env_bits            prints 32 when this machine runs 32-bit Wine, 64 when
#                            it runs only 64-bit Wine (a kernel without 32-bit
#                            support), nothing when it runs no Wine
#   wine_env_init DIR        settings for a new prefix in DIR (exports WINEPREFIX,
#                            WINEARCH, HOME, WINE, WINE_BITS, ...)
#   wine_env_display [xvfb]  keeps $DISPLAY, or starts Xvfb when there is none or
#                            when "xvfb" is asked for
#   wine_env_start managed|unmanaged
#                            starts the server, then creates the prefix; Wine's
#                            windows are managed by the desktop's window manager,
#                            or unmanaged (for Xvfb, which has none)
#   wine_env_stop            stops the server and the Xvfb it started
#   wine_path FILE           the Windows (Z:) path of a Linux path
# Run, it does all of that around one command, always under Xvfb, in a scratch
# folder that it removes afterwards:
#   scripts/wine-env.sh run -- COMMAND [ARGS...]
#   scripts/wine-env.sh bits

WINE_ENV_LOADER32=${WINE_ENV_LOADER32:-/usr/lib/wine/wine}
WINE_ENV_LOADER64=${WINE_ENV_LOADER64:-/usr/lib/wine/wine64}

wine_env_bits() {
  if timeout 60 "$WINE_ENV_LOADER32" --version >/dev/null 2>&1; then
    echo 32
  elif timeout 60 "$WINE_ENV_LOADER64" --version >/dev/null 2>&1; then
    echo 64
  fi
}

wine_env_init() {
  local dir=$1
  WINE_BITS=$(wine_env_bits)
  if [ -z "$WINE_BITS" ]; then
    echo "wine-env: Wine does not run here (install wine, wine32:i386 or wine64: scripts/setup)" >&2
    return 1
  fi
  mkdir -p "$dir/home" "$dir/prefix" || return 1
  export WINE_BITS
  export WINEPREFIX="$dir/prefix" HOME="$dir/home"
  # A 32-bit prefix is half the size and boots faster; 64-bit only where 32-bit code cannot run.
  if [ "$WINE_BITS" = 32 ]; then
    export WINEARCH=win32 WINE="$WINE_ENV_LOADER32"
  else
    export WINEARCH=win64 WINE="$WINE_ENV_LOADER64"
  fi
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
}

wine_env_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != xvfb ]; then
    return 0
  fi
  local fifo
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/wine-env-display.XXXXXX")
  mkfifo "$fifo" || return 1
  # Xvfb picks a free display and writes its number once it takes connections.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  WINE_ENV_XVFB_PID=$!
  local number
  number=$(timeout 30 head -n 1 "$fifo")
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "wine-env: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

# The server is started first with its output sent nowhere: Wine's background
# programs otherwise inherit the output of the first Wine program, and a test
# runner waiting for that output never ends.
wine_env_start() {
  local managed=N
  if [ "${1:-}" = managed ]; then managed=Y; fi
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -p >/dev/null 2>&1 </dev/null || { echo "wine-env: wineserver did not start" >&2; return 1; }
  # The first Wine program creates the prefix. Without a window manager Wine
  # stalls each time a window hides unless its windows are unmanaged.
  if ! timeout 600 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f \
      >/dev/null 2>&1 </dev/null; then
    echo "wine-env: creating the Wine prefix in $WINEPREFIX failed" >&2
    return 1
  fi
}

wine_env_stop() {
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=
  fi
  return 0
}

wine_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

wine_env_run() {
  if [ "${1:-}" = -- ]; then shift; fi
  if [ $# -eq 0 ]; then
    echo "usage: wine-env.sh run -- COMMAND [ARGS...]" >&2
    return 2
  fi
  WINE_ENV_SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/brandpdf-wine.XXXXXX") || return 1
  trap 'wine_env_stop; rm -rf "$WINE_ENV_SCRATCH"' EXIT
  trap 'exit 143' TERM INT
  unset DISPLAY
  wine_env_init "$WINE_ENV_SCRATCH" && wine_env_display xvfb && wine_env_start unmanaged || return 1
  "$@"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    bits) wine_env_bits ;;
    run) shift; wine_env_run "$@"; exit $? ;;
    *) echo "usage: wine-env.sh run -- COMMAND [ARGS...] | wine-env.sh bits" >&2; exit 2 ;;
  esac
fi
