#!/usr/bin/env bash
# Builds the libFuzzer targets for the importers, the settings reader and the
# picture headers with clang, ASan and UBSan into build-fuzz/. Compiles the
# pure reading sources itself against QtCore and QtGui, once for all targets,
# so it needs no CMake build. See fuzz/README.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build-fuzz"
mkdir -p "$out/obj"

cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined
       -I"$root/src" $(pkg-config --cflags Qt6Core Qt6Gui gumbo))
libs=($(pkg-config --libs Qt6Core Qt6Gui gumbo))
sources=(src/model/AreaEntry.cpp src/model/BrowserRules.cpp src/model/AreaLines.cpp src/model/ExtraAttributes.cpp src/model/MapCode.cpp src/model/Codec.cpp src/model/PageFaults.cpp src/model/Paths.cpp src/io/HtmlTags.cpp
         src/io/ImportSearch.cpp src/io/MapImport.cpp src/io/HtmlImport.cpp src/io/PageStream.cpp src/io/ImportFile.cpp src/io/PageCheck.cpp src/io/ImagePathLookup.cpp src/model/MapCheck.cpp
         src/io/OwnForms.cpp src/io/PageRules.cpp src/model/JsonMap.cpp src/model/WikiMap.cpp
         src/app/IniFile.cpp src/io/FileReplace.cpp src/picture/PictureHeader.cpp)
jobs=${FUZZ_JOBS:-2}

# Objects are rebuilt only when their source is newer.
objects=()
for source in "${sources[@]}"; do
  object="$out/obj/$(basename "${source%.cpp}").o"
  objects+=("$object")
  if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ -n "$(find src -name '*.h' -newer "$object" -print -quit)" ]; then
    echo "compiling $source"
    "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$source" -o "$object" &
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  fi
done
wait

for target in ${FUZZ_TARGETS:-fuzz_map_import fuzz_html_import fuzz_import_file fuzz_picture_header fuzz_settings fuzz_own_forms}; do
  echo "building $out/$target"
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "fuzz/$target.cpp" "${objects[@]}" "${libs[@]}" -o "$out/$target"
done
echo "run for example: $out/fuzz_map_import -max_total_time=600 -timeout=10 fuzz/corpus/map"
