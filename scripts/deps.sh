#!/bin/sh
# Installs what the build and the tests need on a Debian machine, as root.
# Safe to run again: it installs only what is missing.
set -e
need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake g++ make libgtest-dev libbenchmark-dev \
         g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
         wine wine32:i386 wine64 xvfb xauth xdotool imagemagick icoutils valgrind procps \
         nsis zip unzip clang libclang-rt-dev clang-format-14 \
         osslsigncode openssl jq yq fonts-wine; do
  have "$p" || need="$need $p"
done
[ -z "$need" ] && exit 0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $need >/dev/null
