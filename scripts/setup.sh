#!/usr/bin/env bash
# Installs what building and testing the installer needs on Debian 12 (bookworm), as root.
# Idempotent: it only installs what is missing and says what that is.
#   scripts/setup.sh          build and test tools
#   scripts/setup.sh --run    only what running the installer under Wine needs
set -euo pipefail

want_tests=1
[ "${1:-}" = "--run" ] && want_tests=0

say() { printf 'setup: %s\n' "$*"; }
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

run_pkgs=(wine wine32:i386 wine64 fonts-wine xvfb xauth xdotool x11-utils locales fonts-ipafont-gothic imagemagick procps)
build_pkgs=(g++ cmake make libgtest-dev g++-mingw-w64-i686 binutils-mingw-w64-i686)
# llvm-14 brings llvm-symbolizer, which puts file and line into sanitizer reports.
test_pkgs=(clang libclang-rt-14-dev llvm-14 clang-tidy cppcheck osslsigncode openssl hyperfine time)

pkgs=("${run_pkgs[@]}" "${build_pkgs[@]}")
[ "$want_tests" -eq 1 ] && pkgs+=("${test_pkgs[@]}")

# Wine's 32-bit half needs the i386 architecture before its packages can be found.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture (for Wine's 32-bit support)"
  $SUDO dpkg --add-architecture i386
  updated=0
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
apt_updated=0
apt_update() { [ "$apt_updated" -eq 1 ] || { say "apt-get update"; $SUDO apt-get update -q >/dev/null; apt_updated=1; }; }
if [ "${#missing[@]}" -gt 0 ]; then
  say "installing: ${missing[*]}"
  apt_update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine with a code page 932 ANSI code page needs the Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  say "generating the ja_JP.UTF-8 locale"
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# Some kernels are built with 32-bit emulation switched off (ia32_emulation=off); Wine's
# 32-bit loader then fails with "Exec format error". Such machines run 32-bit Linux
# programs through QEMU's user-mode emulator. Bookworm's own QEMU 7.2 ignores
# MAP_FIXED_NOREPLACE, which makes every Wine start take about a minute; the backported
# QEMU takes a quarter of a second.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if ! [ -x /usr/bin/qemu-i386 ] || ! /usr/bin/qemu-i386 --version | grep -Eq 'version (8\.[1-9]|9|1[0-9])'; then
    say "this kernel runs no 32-bit programs: installing QEMU's user-mode emulator from bookworm-backports"
    if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      echo 'deb http://deb.debian.org/debian bookworm-backports main' | $SUDO tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null
      apt_updated=0
    fi
    apt_update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user >/dev/null
  fi
  if ! [ -e /proc/sys/fs/binfmt_misc/register ]; then
    $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && ! grep -q 'interpreter /usr/bin/qemu-i386$' /proc/sys/fs/binfmt_misc/qemu-i386; then
    echo -1 | $SUDO tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
  fi
  if ! [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    say "registering /usr/bin/qemu-i386 for 32-bit x86 programs"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
      | $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { say "32-bit programs still do not run"; exit 1; }
fi
say "ready"
