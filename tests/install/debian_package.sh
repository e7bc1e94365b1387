#!/usr/bin/env bash
# Makes the Debian package of the build and checks its name, its files and that its library
# dependencies were computed.
#
# debian_package.sh <build folder> <version>
set -euo pipefail

build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Without dpkg-shlibdeps CPack only warns and leaves the dependencies out.
command -v dpkg-shlibdeps >/dev/null || fail "dpkg-shlibdeps is missing (Debian package dpkg-dev)"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack -G DEB"
}
package="$work/tarvex_${version}_$(dpkg --print-architecture).deb"
[ -f "$package" ] || fail "no $(basename "$package"); made: $(ls "$work")"

[ "$(dpkg-deb -f "$package" Package)" = tarvex ] || fail "package name"
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "package version"
depends="$(dpkg-deb -f "$package" Depends)"
depended_packages="$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//')"
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libdeflate0; do
    echo "$depended_packages" | grep -qxF "$needed" || fail "Depends lacks $needed: $depends"
done
contents="$(dpkg-deb -c "$package")"
for file in ./usr/bin/tarvex ./usr/bin/tarvex-cli ./usr/share/applications/tarvex.desktop \
    ./usr/share/metainfo/ru.tarvex.tarvex.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/tarvex.svg \
    ./usr/share/icons/hicolor/128x128/apps/tarvex.png ./usr/share/tarvex/Tarvex_Help.html; do
    echo "$contents" | grep -q " $file\$" || fail "package lacks $file"
done
echo "$(basename "$package"): Depends: $depends"
