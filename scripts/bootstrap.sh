#!/usr/bin/env bash
# Installs the Debian packages that are missing, so a second run costs nothing.
#   bootstrap.sh            what building and running the editor needs
#   bootstrap.sh --tests    that, and the test tools (./korvane.sh test)
#   bootstrap.sh --bench    that, and Google Benchmark (./korvane.sh bench)
# Extra package names given after these are installed too (the fuzz build
# needs clang).
# The test tools: the browser test drives chromium through chromium-driver,
# checks the test page with xmllint against the XHTML DTD of w3c-sgml-lib and
# runs the accessibility engine axe-core; the map check is compared with the
# W3C's Nu HTML checker, vnu-jar, run by Java; the Wayland test runs weston;
# the package test builds and reads a .deb and checks the menu entry and the
# metainfo. axe-core and vnu-jar, pinned in tests/browser/package.json, come
# from the npm registry into tests/browser/node_modules (the install script of
# vnu-jar, which would fetch a Java of its own, is not run). The benchmarks are
# built with the tests, so that they keep building. bench_open also starts the
# editor on an X server of its own (Xvfb through xvfb-run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for_tests=false
for_bench=false
case "${1:-}" in
  --tests) for_tests=true; shift ;;
  --bench) for_bench=true; shift ;;
esac

# Building: the compiler, CMake, Qt with its translation tools, the libraries
# the program links. Running: the image format plugins (TIFF, WebP), Qt's
# German texts of its own dialogs, the Wayland platform, the fonts metafiles
# name, and xdg-open, which starts the browser for the help and the test page.
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-l10n-tools
  libwmf-dev libemf2svg-dev libgumbo-dev libfontconfig-dev libopencv-imgproc-dev zlib1g-dev
  qt6-image-formats-plugins qt6-translations-l10n qt6-wayland fonts-urw-base35 xdg-utils
  "$@"
)
if $for_tests || $for_bench; then packages+=(libbenchmark-dev); fi
if $for_bench; then packages+=(xvfb xauth); fi
if $for_tests; then
  packages+=(
    chromium chromium-driver libxml2-utils w3c-sgml-lib default-jre-headless
    weston
    dpkg-dev file desktop-file-utils appstream
  )
  # Node.js and npm may come from elsewhere than Debian; Debian's are taken only when there are none.
  command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
fi

# The pinned version of an npm package, and the one installed (empty: none).
pinned() { sed -n "s/.*\"$1\": *\"\\([^\"]*\\)\".*/\\1/p" "$root/tests/browser/package.json"; }
installed() {
  { grep -o '"version": *"[^"]*"' "$root/tests/browser/node_modules/$1/package.json" 2>/dev/null || true; } |
    head -n 1 | sed 's/.*"\([^"]*\)"$/\1/'
}

# Installs the pinned axe-core and vnu-jar unless exactly those versions are there.
install_npm_tools() {
  $for_tests || return 0
  if [ "$(pinned axe-core)" = "$(installed axe-core)" ] && [ "$(pinned vnu-jar)" = "$(installed vnu-jar)" ]; then
    return 0
  fi
  echo "Installing axe-core $(pinned axe-core) and vnu-jar $(pinned vnu-jar) for the tests"
  (cd "$root/tests/browser" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  install_npm_tools
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
install_npm_tools
