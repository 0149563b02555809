#!/usr/bin/env bash
# Installs what building and testing need, once; later runs only check and return quickly.
# Debian 12 (bookworm) or a derivative; runs apt as root, or through sudo otherwise.
# Installs the cross compilers and the Wine of the build(s) chosen by scripts/arch.sh, and the
# packages named as arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arch.sh
vz_choose_arch

packages=(cmake make g++ googletest libgtest-dev nlohmann-json3-dev xvfb fonts-liberation imagemagick wine
          gpsd gpsd-clients socat)
for arch in $VZ_ARCHES; do
    case "$arch" in
    win32) packages+=(gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686) ;;
    win64) packages+=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64) ;;
    esac
done
# Wine's 32-bit part where 32-bit code runs; elsewhere the 32-bit build's build steps run as
# 64-bit programs, so its compilers and wine64 are needed too.
if [[ " $VZ_ARCHES " == *" win32 "* ]] && [ "$VZ_RUNS_32BIT" = yes ]; then
    packages+=(wine32)
fi
if [[ " $VZ_ARCHES " == *" win64 "* ]] || [ "$VZ_RUNS_32BIT" = no ]; then
    packages+=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64)
fi
packages+=("$@") # what a caller needs besides, for example the fuzzers' compiler

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "setup: installing ${missing[*]}"
# wine32 is an i386 package.
if [[ " ${missing[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
echo "setup: done"
