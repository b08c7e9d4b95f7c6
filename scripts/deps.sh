# Sourced by run.sh and test.sh: installs the Debian packages that are
# missing, through sudo when not root.
BUILD_PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev libgtest-dev libmpg123-dev libespeak-ng-dev librubberband-dev"
TEST_PACKAGES="pulseaudio pulseaudio-utils xvfb xauth fonts-noto-cjk desktop-file-utils appstream dpkg-dev"
MEDIA_PACKAGES="lame espeak-ng"
FUZZ_PACKAGES="clang libclang-rt-dev"

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
