# Shared by scripts/run and scripts/test: installs the Debian packages the
# build needs (only those missing), then configures and builds a preset.
# Sourced, not run.

WRIGHT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What a fresh Debian 12 lacks for building, testing and showing the windows.
WRIGHT_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libbenchmark-dev
  libgettextpo-dev gettext libpng-dev
  xvfb xauth x11-utils
  fonts-liberation fonts-dejavu-core
)

wright_say() { printf '%s\n' "$*" >&2; }

wright_install_missing() {
  local missing=() pkg
  for pkg in "${WRIGHT_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    wright_say "Missing packages: ${missing[*]}"
    wright_say "Run this script as root, or install them with: sudo apt-get install ${missing[*]}"
    return 1
  fi
  wright_say "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null || { wright_say "apt-get update failed"; return 1; }
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    { wright_say "apt-get install failed for: ${missing[*]}"; return 1; }
}

# wright_build PRESET [targets...]: configure once, then build incrementally.
wright_build() {
  local preset=$1; shift
  local dir="$WRIGHT_ROOT/build/$preset"
  # Configuring every time is a few seconds, and picks up folders that a
  # pull added (the program folders are found when configuring).
  (cd "$WRIGHT_ROOT" && cmake --preset "$preset" >/dev/null) || { wright_say "configure failed ($preset)"; return 1; }
  if [ $# -gt 0 ]; then
    cmake --build "$dir" --target "$@"
  else
    cmake --build "$dir"
  fi
}
