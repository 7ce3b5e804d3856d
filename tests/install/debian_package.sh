#!/usr/bin/env bash
# The Debian package: cpack makes plwan40_<version>_<arch>.deb; Depends names the package of
# every library the programs link (dpkg-shlibdeps) and reaches the package of every library ldd
# lists through the installed packages' own Depends, and adds the fonts, xdg-utils and Qt's
# translations; LibreOffice is recommended; lintian finds no error (its warnings are
# printed).
# Usage: debian_package.sh BUILD VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; exit 1; }
deb=$tmp/plwan40_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { fail "no $deb: $(ls "$tmp")"; exit 1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"

# The names a Depends or Recommends field lists, alternatives included.
names() { tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/:any//; s/^ +//; s/ +$//' | grep -v '^$' | sort -u; }
depends=$(dpkg-deb -f "$deb" Depends | names)
for wanted in fonts-ipafont-gothic xdg-utils qt6-translations-l10n libc6 libqt6core6 libqt6gui6; do
  grep -qx "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $(dpkg-deb -f "$deb" Depends)"
done
dpkg-deb -f "$deb" Recommends | names | grep -qx libreoffice-calc ||
  fail "Recommends lacks libreoffice-calc: $(dpkg-deb -f "$deb" Recommends)"

# Every package Depends reaches through the installed packages' Depends and Pre-Depends.
reachable() {
  dpkg-query -W -f='${Package}\t${Depends}, ${Pre-Depends}\t${Provides}\n' |
    awk -F'\t' -v start="$(tr '\n' ' ' <<<"$depends")" '
      { pkg[$1] = $2; n = split($3, p, /, */); for (i = 1; i <= n; i++) { sub(/ .*/, "", p[i]); if (p[i] != "") provider[p[i]] = provider[p[i]] " " $1 } }
      END {
        n = split(start, queue, " "); for (i = 1; i <= n; i++) seen[queue[i]] = 1
        for (i = 1; i <= n; i++) {
          name = queue[i]; print name
          m = split(provider[name], via, " "); for (j = 1; j <= m; j++) if (!(via[j] in seen)) { seen[via[j]] = 1; queue[++n] = via[j] }
          k = split(pkg[name], d, /[,|]/)
          for (j = 1; j <= k; j++) { dep = d[j]; sub(/\(.*\)/, "", dep); gsub(/ |:any/, "", dep); if (dep != "" && !(dep in seen)) { seen[dep] = 1; queue[++n] = dep } }
        }
      }' | sort -u
}
closure=$(reachable)

# The package a library file belongs to (merged /usr: dpkg may know it under the other name).
owner() {
  local path
  for path in "$1" "$(readlink -f "$1")" "${1#/usr}" "/usr$1"; do
    dpkg -S "$path" 2>/dev/null | head -n 1 | cut -d: -f1 && return 0
  done
  return 1
}

dpkg-deb -x "$deb" "$tmp/root"
for program in "$tmp"/root/usr/bin/*; do
  needed=$(readelf -d "$program" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p')
  while read -r lib path; do
    [ -n "$path" ] || continue
    package=$(owner "$path") || { fail "$(basename "$program"): no package owns $path"; continue; }
    if grep -qx "$lib" <<<"$needed"; then
      grep -qx "$package" <<<"$depends" || fail "$(basename "$program") links $lib of $package, which Depends lacks"
    else
      grep -qx "$package" <<<"$closure" || fail "$(basename "$program") loads $lib of $package, which Depends does not reach"
    fi
  done < <(ldd "$program" | sed -nE 's/^\s*(\S+) => (\S+) .*/\1 \2/p; s/^\s*(\/\S+) \(.*/\1 \1/p')
done

# lintian: no error; every tag it gives is shown.
if ! LC_ALL=C.UTF-8 lintian --fail-on error --tag-display-limit 0 --display-info "$deb" >"$tmp/lintian.log" 2>&1; then
  fail "lintian reports errors"
fi
echo "lintian on $(basename "$deb"):"
cat "$tmp/lintian.log"
exit $failed
