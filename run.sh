#!/usr/bin/env bash
# Installs what is missing, builds Tarvex, prepares the app folder ./appdir (with a small
# demo register when it has none) and runs it.
source "$(dirname "$0")/scripts/common.sh"

install_missing "${TARVEX_PACKAGES[@]}"
build "$TARVEX_ROOT/build-release" -DCMAKE_BUILD_TYPE=Release -DTARVEX_BUILD_TESTS=OFF

APP_DIR="$TARVEX_ROOT/appdir"
mkdir -p "$APP_DIR/Files"
cp "$TARVEX_ROOT/build-release/cli/tarvex-cli" "$APP_DIR/"
if [ ! -e "$APP_DIR/DB/Tarvex.mdb" ]; then
    "$APP_DIR/tarvex-cli" init-db --demo
fi
if [ ! -e "$APP_DIR/options.ini" ]; then
    cp "$TARVEX_ROOT/resources/demo-options.ini" "$APP_DIR/options.ini"
fi

# Until the desktop windows exist, the program's work is the command-line "Create all".
"$APP_DIR/tarvex-cli" generate all
