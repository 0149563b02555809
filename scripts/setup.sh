#!/usr/bin/env bash
# Installs what building and testing need, once; later runs only check and return quickly.
# Debian 12 (bookworm) or a derivative; runs apt as root, or through sudo otherwise.
set -euo pipefail

packages=(
    cmake make g++ googletest libgtest-dev
    gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine32 xvfb fonts-liberation imagemagick
)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
echo "setup: done"
