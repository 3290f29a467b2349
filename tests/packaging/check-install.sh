#!/bin/sh
# usage: check-install.sh <build dir> <consumer source dir>
set -eu
build=$1
consumer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
export PKG_CONFIG_PATH=$(find "$work/prefix" -name xtbasis.pc -printf '%h')
libdir=$(pkg-config --variable=libdir xtbasis)

nm -D --defined-only "$libdir/libxtbasis.so.1" | awk '{print $3}' >"$work/names"
for name in XTTrace XTTraceF SetXTTraceLevel GetLastErrorString GetXTParameter LoadXTString GetXTString \
    XTStackTrace XTMiniDump XTAssert XTInstallCrashReporter; do
  grep -qx "$name" "$work/names" || { echo "libxtbasis.so.1 does not export $name" >&2; exit 1; }
done

c++ -o "$work/hello" "$consumer/main.cpp" $(pkg-config --cflags --libs xtbasis)
LD_LIBRARY_PATH=$libdir "$work/hello"

cmake -S "$consumer" -B "$work/cmake-consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-consumer" >/dev/null
LD_LIBRARY_PATH=$libdir "$work/cmake-consumer/hello"
