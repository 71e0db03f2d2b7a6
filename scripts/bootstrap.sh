#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking need
# (the browser test drives chromium through chromium-driver and checks the
# test page with xmllint against the XHTML DTD of w3c-sgml-lib),
# but only those that are missing, so a second run costs nothing. Extra
# package names given as arguments are installed too (the fuzz build needs clang).
# The accessibility engine axe-core, pinned in tests/browser/package.json,
# comes from the npm registry into tests/browser/node_modules. With --tests
# first (./korvane.sh test), also the W3C's Nu HTML checker the map check is
# compared with: vnu-jar, pinned there as an optional dependency, and Java
# to run it (its install script, which would fetch a Java of its own, is not run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for_tests=false
if [ "${1:-}" = --tests ]; then
  for_tests=true
  shift
fi

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-translations-l10n
  libbenchmark-dev libwmf-dev libemf2svg-dev fonts-urw-base35 libgumbo-dev libfontconfig-dev libopencv-imgproc-dev
  dpkg-dev file desktop-file-utils appstream
  chromium chromium-driver libxml2-utils w3c-sgml-lib
  qt6-wayland weston
  "$@"
)
if $for_tests; then packages+=(default-jre-headless); fi
# Node.js and npm may come from elsewhere than Debian; Debian's are taken only when there are none.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

# The pinned version of an npm package, and the one installed (empty: none).
pinned() { sed -n "s/.*\"$1\": *\"\\([^\"]*\\)\".*/\\1/p" "$root/tests/browser/package.json"; }
installed() {
  { grep -o '"version": *"[^"]*"' "$root/tests/browser/node_modules/$1/package.json" 2>/dev/null || true; } |
    head -n 1 | sed 's/.*"\([^"]*\)"$/\1/'
}

# Installs the pinned axe-core (and for the tests vnu-jar) unless exactly those versions are there.
install_axe() {
  local dir="$root/tests/browser"
  local omit=(--omit=optional)
  if $for_tests; then omit=(); fi
  if [ "$(pinned axe-core)" = "$(installed axe-core)" ] &&
     { ! $for_tests || [ "$(pinned vnu-jar)" = "$(installed vnu-jar)" ]; }; then
    return 0
  fi
  echo "Installing axe-core $(pinned axe-core)$($for_tests && echo " and vnu-jar $(pinned vnu-jar)") for the tests"
  (cd "$dir" && npm ci --ignore-scripts "${omit[@]}" --no-audit --no-fund --loglevel=error)
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  install_axe
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "Missing packages (${missing[*]}) and neither root nor sudo is available." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
install_axe
