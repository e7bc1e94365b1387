#!/usr/bin/env bash
# Installs what is missing, builds Tarvex, prepares the app folder ./appdir (with a small
# demo register when it has none) and starts the desktop program on it. Without a display
# it runs the program's "Create all" from the command line instead.
source "$(dirname "$0")/scripts/common.sh"

install_missing "${TARVEX_PACKAGES[@]}"
build "$TARVEX_ROOT/build-release" -DCMAKE_BUILD_TYPE=Release -DTARVEX_BUILD_TESTS=OFF

APP_DIR="$TARVEX_ROOT/appdir"
mkdir -p "$APP_DIR/Files"
cp "$TARVEX_ROOT/build-release/cli/tarvex-cli" "$TARVEX_ROOT/build-release/app/tarvex" "$APP_DIR/"
if [ -e "$TARVEX_ROOT/resources/Tarvex_Help.html" ]; then
    cp "$TARVEX_ROOT/resources/Tarvex_Help.html" "$APP_DIR/"
fi
# Named, since a new appdir holds neither DB/ nor options.ini yet.
if [ ! -e "$APP_DIR/DB/Tarvex.mdb" ]; then
    "$APP_DIR/tarvex-cli" --app-dir "$APP_DIR" init-db --demo
fi
if [ ! -e "$APP_DIR/options.ini" ]; then
    cp "$TARVEX_ROOT/resources/demo-options.ini" "$APP_DIR/options.ini"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running \"Create all\" from the command line."
    "$APP_DIR/tarvex-cli" --app-dir "$APP_DIR" generate all
else
    exec "$APP_DIR/tarvex"
fi
