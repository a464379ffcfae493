# Shared by the scripts: locations, package installation, configure and build.
# Source it; it defines functions and variables only.

VARNOX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VARNOX_BUILD=${VARNOX_BUILD_DIR:-$VARNOX_ROOT/build}
VARNOX_DIST=${VARNOX_DIST_DIR:-$VARNOX_ROOT/dist}

# Debian packages the build, the tests and the screenshots need, with a
# command that proves each is present.
varnox_packages=(
  "g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix"
  "mingw-w64-tools:x86_64-w64-mingw32-widl"
  "binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres"
  "cmake:cmake"
  "ninja-build:ninja"
  "googletest:/usr/src/googletest/CMakeLists.txt"
  "wine:wine"
  "wine64:/usr/lib/wine/wine64"
  "xvfb:Xvfb"
  "xauth:xauth"
  "imagemagick:import"
  # The help pages' link check, the installer's making and the release check.
  "python3:python3"
  # The Windows Installer package (wixl) and the tools that edit and read it.
  "wixl:wixl"
  "msitools:msibuild"
  # Wine's own fonts: Tahoma for captions, Marlett for the caption buttons
  # (without it they show the letters "0 1 r"). Installed without
  # recommendations, Wine does not bring them.
  "fonts-wine:/usr/share/wine/fonts/marlett.ttf"
)

# A value of the default brand's description (data/branding/Varnox.brand),
# which KESTO.OEM is built from: varnox_brand_value int|string NAME.
varnox_brand_value() {
  awk -v type="$1" -v name="$2" '$1 == type && $2 == name { $1 = $2 = ""; print }' \
    "$VARNOX_ROOT/data/branding/Varnox.brand" | sed -E 's/^ *"?//; s/"? *$//'
}

# The key below HKEY_CURRENT_USER where the brand keeps its settings, or
# nothing when it keeps them elsewhere.
varnox_settings_key() {
  [ "$(varnox_brand_value int ConfigStorageType)" = 1 ] && varnox_brand_value string ConfigRegistryKey
  return 0
}

varnox_install_packages() {
  local missing=() entry package probe
  for entry in "${varnox_packages[@]}"; do
    package=${entry%%:*}
    probe=${entry#*:}
    if [[ $probe == /* ]]; then
      [ -e "$probe" ] || missing+=("$package")
    else
      command -v "$probe" >/dev/null 2>&1 || missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures (once) and builds everything. Builds are serialised machine-wide:
# this machine has two cores, and two compilers at once only slow each other.
varnox_build() {
  if [ ! -f "$VARNOX_BUILD/build.ninja" ]; then
    cmake -S "$VARNOX_ROOT" -B "$VARNOX_BUILD" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$VARNOX_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  fi
  flock /tmp/varnox-build.lock cmake --build "$VARNOX_BUILD" "$@"
}
