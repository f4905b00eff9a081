#!/usr/bin/env bash
# Installs those of the named Debian packages that are missing, with one
# package-list update at the most. Packages named after --optional may fail
# to install; the tests that need them then say SKIPPED. Needs root.
set -uo pipefail
required=()
optional=()
target=required
for package in "$@"; do
  if [[ $package == --optional ]]; then target=optional; continue; fi
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    eval "$target+=(\"\$package\")"
  fi
done
((${#required[@]} + ${#optional[@]} == 0)) && exit 0
echo "Installing: ${required[*]} ${optional[*]}"
apt-get update -qq || echo "apt-get update failed; trying with the package lists at hand"
install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
if ((${#required[@]} > 0)) && ! install "${required[@]}"; then
  echo "Could not install ${required[*]}" >&2
  exit 1
fi
if ((${#optional[@]} > 0)) && ! install "${optional[@]}"; then
  echo "Could not install ${optional[*]}: the tests that need them will say SKIPPED" >&2
fi
exit 0
