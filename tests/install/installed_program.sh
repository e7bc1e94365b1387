#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with the prefix a package uses and works with the
# installed programs as a user with an empty home folder would: the register and the written
# files land in that user's data folder. Validates the desktop entry and the AppStream metainfo.
#
# installed_program.sh <build folder> <source folder>
set -euo pipefail

build="$1"
source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log"
prefix="$work/root/usr"
expected_files="bin/tarvex
bin/tarvex-cli
share/applications/tarvex.desktop
share/icons/hicolor/128x128/apps/tarvex.png
share/icons/hicolor/scalable/apps/tarvex.svg
share/metainfo/ru.tarvex.tarvex.metainfo.xml
share/tarvex/Tarvex_Help.html"
installed_files="$(cd "$work/root" && find . -type f | sed 's|^\./usr/||' | LC_ALL=C sort)"
[ "$installed_files" = "$expected_files" ] || fail "installed files differ from the expected ones:
$installed_files"

# Validators missing on the test machine are a failure, not a reason to skip.
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is missing (Debian packages desktop-file-utils and appstream)"
done
desktop-file-validate "$prefix/share/applications/tarvex.desktop" || fail "desktop entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/ru.tarvex.tarvex.metainfo.xml" || fail "metainfo is not valid"
grep -qx 'Exec=tarvex' "$prefix/share/applications/tarvex.desktop" || fail "desktop entry starts another program"
grep -qx 'Icon=tarvex' "$prefix/share/applications/tarvex.desktop" || fail "desktop entry names another icon"

home="$work/home"
mkdir "$home"
data="$home/.local/share/tarvex"
as_user() {
    env -u XDG_DATA_HOME HOME="$home" "$@"
}

as_user "$prefix/bin/tarvex-cli" --help | grep -qxF "App folder in use: $data/ (the user's data folder)" ||
    fail "tarvex-cli --help does not name the user's data folder"
[ "$(as_user "$prefix/bin/tarvex-cli" init-db --demo)" = "$data/DB/Tarvex.mdb" ] || fail "init-db --demo"
[ -d "$data/Files" ] || fail "init-db made no Files folder"
# The settings of every task of "Create all", as an agency would hand them out.
cp "$source/resources/demo-options.ini" "$data/options.ini"
written="$(as_user "$prefix/bin/tarvex-cli" generate all)" || fail "generate all"
[ "$(echo "$written" | wc -l)" -eq 6 ] || fail "generate all wrote other than 6 files:
$written"
while read -r file; do
    case "$file" in
    "$data/Files/"*) [ -s "$file" ] || fail "empty or missing: $file" ;;
    *) fail "written outside the user's data folder: $file" ;;
    esac
done <<<"$written"

# The desktop program of a new user makes its register and output folder on its first start.
newcomer="$work/newcomer"
mkdir "$newcomer"
env -u XDG_DATA_HOME HOME="$newcomer" QT_QPA_PLATFORM=offscreen "$prefix/bin/tarvex" &
program=$!
for _ in $(seq 150); do
    [ -d "$newcomer/.local/share/tarvex/Files" ] && break
    sleep 0.2
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
[ -s "$newcomer/.local/share/tarvex/DB/Tarvex.mdb" ] || fail "tarvex made no register in the user's data folder"
[ -d "$newcomer/.local/share/tarvex/Files" ] || fail "tarvex made no Files folder in the user's data folder"
echo "installed programs work in $data"
