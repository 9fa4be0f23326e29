#!/usr/bin/env bash
# Checks the Windows desktop sources where no Windows compiler runs: the
# Windows calls against the 32-bit MinGW-w64 headers with clang, the rest with
# the host compiler. Exits 77 (skipped) when clang or those headers are missing.
# Usage: win32_syntax_check.sh CLANGXX HOST_CXX SOURCE_DIR
set -u
clang=$1
host=$2
src=$3
target=--target=i686-w64-mingw32
if ! command -v "$clang" >/dev/null 2>&1; then
  echo "skipped: no clang++"
  exit 77
fi
if ! echo '#include <windows.h>' | "$clang" "$target" -x c++ -fsyntax-only - >/dev/null 2>&1; then
  echo "skipped: no Windows headers (Debian package mingw-w64-i686-dev)"
  exit 77
fi
flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror "-I$src")
"$clang" "$target" "${flags[@]}" "$src/platform/desktop_calls_win32.cpp" || exit 1
"$host" "${flags[@]}" "$src/platform/desktop_win32.cpp" || exit 1
echo "Windows desktop sources are well-formed"
