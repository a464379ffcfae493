# Source it: what makes a Wine prefix safe for Varnox and complete for its
# windows. Used for the project's own prefixes (scripts/wine) and for the
# throwaway prefix that tries a release (scripts/check-release).
# Expects WINEPREFIX set and a wineserver that may be waited for.

# Nothing run in the prefix may reach the host's files: only drive C: stays
# (no z:, the host's root, no serial or parallel ports); the user's shell
# folders, which Wine links to the host's home folder, become plain folders;
# and the host's root folder ("/", paths \\?\unix\...), which Wine's shell
# shows on the desktop, is removed from the namespace (a program browsing the
# shell would otherwise list, and could wipe, the host's files).
varnox_seal_prefix() {
  # First, as starting Wine to edit the registry brings the ports back.
  local unix_folder='{9D20AAE8-0625-44B0-9CA7-71889C2254D9}'
  if grep -qiF 'Desktop\\Namespace\\'"$unix_folder" "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\$unix_folder" /f \
      >/dev/null 2>&1 || true
    wineserver -w
  fi
  find "$WINEPREFIX/dosdevices" -mindepth 1 -maxdepth 1 ! -name 'c:' -exec rm -f {} +
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/* "$WINEPREFIX"/drive_c/users/*/AppData/*/*; do
    if [ -L "$link" ]; then
      rm -f "$link"
      mkdir -p "$link"
    fi
  done
}

# True when no drive but C: is mapped and the host's root folder is not in
# the shell namespace. (Wine maps serial ports again at every start; they are
# devices, not the host's files.)
varnox_prefix_sealed() {
  [ -z "$(find "$WINEPREFIX/dosdevices" -mindepth 1 -maxdepth 1 -name '?:' ! -name 'c:')" ] &&
    ! grep -qiF 'Desktop\\Namespace\\{9D20AAE8-0625-44B0-9CA7-71889C2254D9}' "$WINEPREFIX/system.reg" 2>/dev/null
}

# Wine's own fonts (Tahoma, Marlett for the caption buttons, ...) are not
# found in Debian's data folder by this Wine; without them captions fall back
# to other faces and the frame buttons show the letters "0 1 r". The Windows
# font folder of the prefix is always searched, so they go there.
varnox_install_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts source
  for source in /usr/share/wine/fonts /usr/lib/wine/fonts; do
    if [ -d "$fonts" ] && [ -f "$source/marlett.ttf" ] && [ ! -f "$fonts/marlett.ttf" ]; then
      cp "$source"/*.ttf "$fonts"/ 2>/dev/null || true
    fi
  done
}
