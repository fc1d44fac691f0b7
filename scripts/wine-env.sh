# Sourced by the Wine helpers: the project's private Wine prefix and the
# environment that gives code page 936 and no Mono/Gecko installer prompts.
corvane_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${CORVANE_WINEPREFIX:-$corvane_root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# Creates the prefix once; concurrent first runs wait for the one creating it.
corvane_wine_prefix() {
  [ -f "$WINEPREFIX/.corvane-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.corvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}
