# Shared by the scripts that run Windows programs under Wine: a display, a booted
# template prefix, and cheap per-test copies of it. Source it; it sets nothing global
# until its functions are called.

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 # Wine's ANSI code page becomes 932
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries or desktop files, no debugger waiting on a crash, no offer to
# download Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree=d;mshtml=d"

XVFB_PID=""

# Starts a virtual display when there is none (or always, with force).
start_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != force ]; then return 0; fi
  local n i
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for i in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break # lost the number to another Xvfb: next one
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "no free display number" >&2
  return 1
}

stop_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

# Boots a prefix once and sets it up as the tests need: no window manager waits, reliable
# keyboard focus, and .txt files opened by the program given (a Windows path).
make_template() {
  local prefix=$1 opener=$2
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  local reg
  reg=$(mktemp --suffix=.reg)
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n"UseTakeFocus"="N"\r\n\r\n'
    # The Japanese faces programs ask for by name, drawn with the IPA fonts.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n"MS PGothic"="IPAPGothic"\r\n'
    printf '"MS Gothic"="IPAGothic"\r\n"MS UI Gothic"="IPAPGothic"\r\n\r\n'
    printf '[HKEY_CLASSES_ROOT\\.txt]\r\n@="txtfile"\r\n\r\n'
    printf '[HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command]\r\n@="%s \\"%%1\\""\r\n\r\n' "${opener//\\/\\\\}"
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  WINEPREFIX=$prefix wine regedit /S "$(winepath_w "$reg")" >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  rm -f "$reg"
  # This Wine does not find its own Marlett, which draws the caption buttons, and shows
  # letters like "0 1 r" instead; in the prefix's font folder it does.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && cp "$marlett" "$prefix/drive_c/windows/Fonts/"
  return 0
}

winepath_w() { printf 'Z:%s' "${1//\//\\}"; }

# A copy of the template for one test; the large DLL folders are hard links.
copy_prefix() {
  local template=$1 prefix=$2
  rm -rf "$prefix"
  mkdir -p "$prefix"
  (cd "$template" && find . -mindepth 1 -maxdepth 1 ! -name drive_c -exec cp -a {} "$prefix/" \;)
  mkdir -p "$prefix/drive_c"
  local entry
  for entry in "$template"/drive_c/* "$template"/drive_c/.[!.]*; do
    [ -e "$entry" ] || continue
    case "$(basename "$entry")" in
      windows)
        mkdir -p "$prefix/drive_c/windows"
        local w
        for w in "$entry"/* "$entry"/.[!.]*; do
          [ -e "$w" ] || continue
          case "$(basename "$w")" in
            system32|syswow64) cp -al "$w" "$prefix/drive_c/windows/" ;;
            *) cp -a "$w" "$prefix/drive_c/windows/" ;;
          esac
        done
        ;;
      *) cp -a "$entry" "$prefix/drive_c/" ;;
    esac
  done
}

# Ends every Wine process of a prefix.
end_prefix() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 wineserver -w 2>/dev/null || true
}
