#!/bin/sh
# Configures and builds both configurations:
#   build/i686    the ship build (PE32, what users get)
#   build/x86_64  the same sources as 64-bit code, with the tests and the benchmark
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for arch in i686 x86_64; do
  extra=""; [ $arch = x86_64 ] && extra="-DLGT_BUILD_TESTS=ON"
  [ -f build/$arch/build.ninja ] ||
    cmake -S . -B build/$arch -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake $extra >/dev/null
  cmake --build build/$arch
done
