#!/usr/bin/env bash
# Fetches Debian's game-data packages that ship free tracker modules, unpacks
# them into a cache outside the repository, and prints the directory that
# holds them. Nothing of them is committed. Prints nothing and fails when
# they can't be had.
set -uo pipefail
cache="${SONORIFT_MODULE_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/sonorift-modules}"
mkdir -p "$cache/unpacked" || exit 1
cd "$cache" || exit 1
# Impulse Tracker and Scream Tracker III; Scream Tracker III; Fast Tracker.
for package in pingus-data gl-117-data heroes-sound-tracks; do
  [[ -e "$package.unpacked" ]] && continue
  if ! apt-get download "$package" >/dev/null 2>&1; then
    apt-get update -qq >/dev/null 2>&1
    apt-get download "$package" >/dev/null 2>&1 || { echo "can't download $package" >&2; exit 1; }
  fi
  dpkg-deb -x "$package"_*.deb unpacked && rm -f "$package"_*.deb && touch "$package.unpacked" || exit 1
done
echo "$cache/unpacked"
