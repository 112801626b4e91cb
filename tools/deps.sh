# Shared set-up of ./test, ./run and .ci/run: installs the Debian packages the
# project needs when any is missing, then configures and builds one build tree.
# Sourced, not executed.

# fonts-liberation2: the interface font of the program (widgets/Pismo.h);
# qt6-translations-l10n: Qt's own texts in Czech (widgets/PrekladQt.h);
# poppler-utils: pdftotext, with which the tests read the reports.
ZR_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev
  libbenchmark-dev libsimpleini-dev libcli11-dev clang libclang-rt-14-dev xvfb openbox x11-utils
  fonts-liberation2 qt6-translations-l10n dpkg-dev file desktop-file-utils poppler-utils"

zr_missing_packages() {
  local missing="" p
  for p in $ZR_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing="$missing $p"
  done
  echo "$missing"
}

# zr_install_missing [extra packages...]
zr_install_missing() {
  local missing
  ZR_PACKAGES="$ZR_PACKAGES $*"
  missing=$(zr_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y$missing" >&2
    return 1
  fi
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq $missing >/dev/null
}

# zr_configure <build dir> [cmake options...]: configures once.
zr_configure() {
  local dir=$1
  shift
  [ -f "$dir/CMakeCache.txt" ] ||
    cmake -S "$ZR_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# zr_build <build dir> [cmake options...]: configures once, builds everything.
zr_build() {
  zr_configure "$@" || return 1
  cmake --build "$1" -j "$(nproc)"
}
