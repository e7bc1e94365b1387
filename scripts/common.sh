# Shared steps of run.sh and test.sh: install what is missing, then build.
set -euo pipefail

TARVEX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Debian packages the build and the program need (qt6-translations-l10n: Qt's own dialogs in Russian).
TARVEX_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev libsqlite3-dev zlib1g-dev libdeflate-dev
    sqlite3 fonts-dejavu-core qt6-translations-l10n
)

# What the tests need besides: independent workbook readers and the formatting check,
# then the validators of the installed desktop entry and metainfo and the Debian packaging tools,
# and the PostgreSQL server the tests start a throwaway cluster of.
TARVEX_TEST_PACKAGES=(
    python3 python3-openpyxl libreoffice-calc-nogui clang-format
    desktop-file-utils appstream dpkg-dev postgresql
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

# build <folder> [cmake options...]
build() {
    local folder="$1"
    shift
    cmake -S "$TARVEX_ROOT" -B "$folder" -G Ninja "$@"
    cmake --build "$folder" --parallel "$(nproc)"
}
