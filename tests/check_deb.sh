#!/usr/bin/env bash
# Builds the .deb from a build directory, unpacks it into a temporary root
# and runs the installed program on the sample package.
#   check_deb.sh BUILD_DIR SAMPLE.umx VERSION
# Exits 77 (skipped) when Debian's packaging tools are missing.
set -euo pipefail
build_dir=$1 sample=$2 version=$3
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work/package" --config "$build_dir/CPackConfig.cmake" >/dev/null
deb=$(ls "$work"/package/*.deb)
echo "Built $(basename "$deb")"

fail() { echo "FAILED: $*"; exit 1; }
[[ $(dpkg-deb -f "$deb" Package) == sonorift ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libc6* && $depends == *libstdc++6* ]] || fail "dependencies not worked out"
dpkg-deb -f "$deb" Description | grep -q 'Licence: MIT' || fail "licence not named"

dpkg-deb -x "$deb" "$work/root"
for file in usr/bin/Sonorift usr/share/man/man1/Sonorift.1 usr/share/doc/sonorift/copyright; do
  [[ -e $work/root/$file ]] || fail "$file is not in the package"
done
cp "$sample" "$work/sample.umx"
(cd "$work" && "$work/root/usr/bin/Sonorift" sample.umx) > "$work/console" || fail "the installed program failed"
grep -q 'Ok' "$work/console" || fail "no Ok from the installed program"
[[ -s $work/sample.it ]] || fail "no module written"
echo "The installed program extracted the sample's module"
