#!/usr/bin/env bash
# Builds the libFuzzer targets for the two importers with clang, ASan and
# UBSan into build-fuzz/. Compiles the pure reading sources itself against
# QtCore, so it needs no CMake build. See fuzz/README.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build-fuzz"
mkdir -p "$out"

cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/src" $(pkg-config --cflags Qt6Core Qt6Gui gumbo))
libs=($(pkg-config --libs Qt6Core Qt6Gui gumbo))
sources=(src/model/AreaEntry.cpp src/model/Codec.cpp src/model/Paths.cpp src/io/HtmlTags.cpp
         src/io/ImportSearch.cpp src/io/MapImport.cpp src/io/HtmlImport.cpp src/app/IniFile.cpp)

for target in fuzz_map_import fuzz_html_import fuzz_settings; do
  echo "building $out/$target"
  "$cxx" "${flags[@]}" "fuzz/$target.cpp" "${sources[@]}" "${libs[@]}" -o "$out/$target"
done
echo "run for example: $out/fuzz_map_import -max_total_time=600 -timeout=10 fuzz/corpus/map"
