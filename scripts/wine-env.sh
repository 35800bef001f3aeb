# Sourced by the test and run scripts: a private X display and a private
# Wine prefix for one run, and their clean-up by process id.
#
# After lumora_wine_start:
#   DISPLAY, WINEPREFIX, LUMORA_WINE   set and exported
#   LUMORA_WIN_ARCH                    i686 where this kernel runs 32-bit
#                                      code, x86_64 where it does not
#                                      (LUMORA_TEST_ARCH forces either)
# lumora_wine_stop ends the Wine server of the prefix and the Xvfb.
#
# Screen, chosen before lumora_wine_start (or lumora_wine_setup):
#   default                one monitor, LUMORA_SCREEN (1920x1080), 96 DPI
#   LUMORA_MONITORS=2      two monitors side by side on one 3200x1080 screen:
#                          DISPLAY1 (0,0)-(1920,1080), work area (0,0)-(1920,1040)
#                          DISPLAY2 (1920,0)-(3200,1024), work area the whole monitor
#   LUMORA_DPI=144         the system DPI Wine reports (GetDpiForSystem,
#                          GetDpiForWindow, LOGPIXELSY); 96 when unset
#
# lumora_wine_setup is the one place that sets up Wine for a script: every
# script, scripts/wine-run.sh included, goes through it.

LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Chooses the Wine loader: the 32-bit program under 32-bit Wine wherever the
# kernel runs 32-bit code (some virtual machines switch its emulation off),
# the x86_64 build under 64-bit Wine elsewhere. LUMORA_TEST_ARCH=i686 or
# x86_64 forces either choice; a forced i686 where 32-bit Wine cannot start
# fails instead of falling back.
lumora_pick_wine() {
  local choice="${LUMORA_TEST_ARCH:-}"
  if [ -z "$choice" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then choice=i686; else choice=x86_64; fi
  fi
  case "$choice" in
    i686)
      if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "LUMORA_TEST_ARCH=i686, but 32-bit Wine does not start on this machine" >&2
        return 1
      fi
      LUMORA_WINE=/usr/lib/wine/wine LUMORA_WIN_ARCH=i686 LUMORA_WINEARCH=win32 ;;
    x86_64)
      LUMORA_WINE=/usr/lib/wine/wine64 LUMORA_WIN_ARCH=x86_64 LUMORA_WINEARCH=win64 ;;
    *)
      echo "LUMORA_TEST_ARCH must be i686 or x86_64, not '$choice'" >&2
      return 1 ;;
  esac
  export LUMORA_WINE LUMORA_WIN_ARCH LUMORA_WINEARCH
}

lumora_free_display() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"
      return
    fi
  done
  echo "no free X display number" >&2
  return 1
}

# lumora_xvfb_start WIDTHxHEIGHT: a private Xvfb; sets DISPLAY and LUMORA_XVFB_PID.
lumora_xvfb_start() {
  local size="${1:-1920x1080}" n i
  n="$(lumora_free_display)"
  Xvfb ":$n" -noreset -nolisten tcp -screen 0 "${size}x24" >/dev/null 2>&1 &
  LUMORA_XVFB_PID=$!
  export DISPLAY=":$n"
  for i in $(seq 1 100); do
    xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb on $DISPLAY did not come up" >&2
  return 1
}

# lumora_two_monitors: splits the screen of DISPLAY (3200x1080) into two RandR
# monitors and publishes their work areas. Wine takes the layout through
# Xinerama (UseXRandR=N in the prefix) and reads it, with the work areas, only
# when its server starts, so this runs before the prefix's first program.
# Xvfb must run with -noreset, or it forgets the monitors when its last
# client disconnects.
lumora_two_monitors() {
  xrandr --setmonitor L 1920/508x1080/286+0+0 screen >/dev/null 2>&1 || return 1
  xrandr --setmonitor R 1280/338x1024/270+1920+0 none >/dev/null 2>&1 || return 1
  xprop -root -format _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 0,0,1920,1040,1920,0,1280,1024 || return 1
  xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA 0,0,1920,1040 || return 1
}

# lumora_wine_setup [PREFIX]: the environment every Wine program of a run
# gets (code page 932 from the Japanese locale, no debug output, no Mono or
# Gecko prompts); with PREFIX also WINEPREFIX and WINEARCH, the prefix made
# when it is missing and its settings: unmanaged windows (no window manager
# runs, and managed ones stall the program's thread after each hide;
# LUMORA_WINE_MANAGED=Y keeps them managed for a desktop), the Japanese UI
# fonts mapped to the installed IPA Gothic, and the screen's LUMORA_MONITORS
# and LUMORA_DPI. The settings are written once per prefix and layout.
lumora_wine_setup() {
  local prefix="${1:-}"
  [ -n "${LUMORA_WINE:-}" ] || lumora_pick_wine
  export LANG="${LUMORA_WINE_LANG:-ja_JP.UTF-8}"
  export LC_ALL="$LANG" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  [ -n "$prefix" ] || return 0

  [ -n "${LUMORA_WINEARCH:-}" ] || lumora_pick_wine
  export WINEPREFIX="$prefix" WINEARCH="$LUMORA_WINEARCH"
  local monitors="${LUMORA_MONITORS:-1}" dpi="${LUMORA_DPI:-96}" managed="${LUMORA_WINE_MANAGED:-N}"
  local layout="monitors=$monitors dpi=$dpi managed=$managed"
  local marker="$WINEPREFIX/.lumora-setup"
  if [ -d "$WINEPREFIX" ] && [ "$(cat "$marker" 2>/dev/null)" = "$layout" ]; then
    return 0
  fi
  local wine="$LUMORA_WINE" fresh=
  if [ ! -d "$WINEPREFIX" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    fresh=1
  fi
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f >/dev/null 2>&1
  local f
  for f in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Meiryo UI" "Yu Gothic UI" \
           "ＭＳ ゴシック" "ＭＳ Ｐゴシック"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$f" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
  done
  # Through XRandR Wine (32- and 64-bit alike) sees one 3200x1080 monitor;
  # through Xinerama it sees the two RandR monitors (32-bit Wine needs
  # libxinerama1:i386 for that, 64-bit Wine libxinerama1).
  if [ "$monitors" = 2 ]; then
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
  elif [ -z "$fresh" ]; then
    "$wine" reg delete 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /f >/dev/null 2>&1
  fi
  if [ "$dpi" != 96 ]; then
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  elif [ -z "$fresh" ]; then
    "$wine" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
  fi
  # Wine reads the monitor layout, the work areas and the DPI only when the
  # prefix's server starts, and the desktop process that wineboot started has
  # read them already: the server ends here (writing the registry out), and
  # the next program starts it afresh.
  if [ "$monitors" = 2 ] || [ "$dpi" != 96 ] || [ -z "$fresh" ]; then
    /usr/lib/wine/wineserver -k -w >/dev/null 2>&1 || true
  fi
  echo "$layout" > "$marker"
}

# lumora_wine_start DIR: a fresh prefix in DIR on a fresh display.
lumora_wine_start() {
  local dir="$1"
  lumora_pick_wine || return 1
  if [ "${LUMORA_MONITORS:-1}" = 2 ]; then
    lumora_xvfb_start 3200x1080 || return 1
    lumora_two_monitors || { echo "setting up two monitors on $DISPLAY failed" >&2; return 1; }
  else
    lumora_xvfb_start "${LUMORA_SCREEN:-1920x1080}" || return 1
  fi
  rm -rf "$dir/prefix"
  lumora_wine_setup "$dir/prefix"
}

lumora_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${LUMORA_WINE:-}" ]; then
    WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${LUMORA_XVFB_PID:-}" ]; then
    kill "$LUMORA_XVFB_PID" 2>/dev/null || true
    wait "$LUMORA_XVFB_PID" 2>/dev/null || true
    LUMORA_XVFB_PID=
  fi
}
