# Shared by the scripts: installs the Debian packages the build needs (only
# those missing), then configures and builds a preset. Sourced, not run.

WRIGHT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What a fresh Debian 12 lacks for building, testing and showing the windows.
WRIGHT_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  libgtest-dev libbenchmark-dev
  libgettextpo-dev gettext libpng-dev libunistring-dev
  translate-toolkit
  xvfb xauth x11-utils
  fonts-liberation fonts-dejavu-core
)

wright_say() { printf '%s\n' "$*" >&2; }

# A root shell on a fresh machine has no session runtime folder, and every Qt
# program would say so at start; give them a private one in the build tree.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$WRIGHT_ROOT/build/runtime"
  mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
fi

# wright_install_missing [package...]: the packages above and the ones named,
# those not yet installed, with apt-get's own progress lines.
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
  wright_say "Installing ${#missing[@]} packages from Debian with apt-get (a minute or two on a fresh machine):"
  wright_say "  ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  wright_say "apt-get update: reading the package lists"
  apt-get update >&2 || { wright_say "apt-get update failed"; return 1; }
  wright_say "apt-get install: downloading, unpacking and setting up"
  apt-get install -y --no-install-recommends "${missing[@]}" >&2 ||
    { wright_say "apt-get install failed for: ${missing[*]}"; return 1; }
  wright_say "Installed: ${missing[*]}"
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
