#!/usr/bin/env bash
# Installs what is missing, builds Tarvex and runs every test: once in a normal build
# and once built with AddressSanitizer and UndefinedBehaviorSanitizer.
source "$(dirname "$0")/scripts/common.sh"

install_missing "${TARVEX_PACKAGES[@]}"

build "$TARVEX_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$TARVEX_ROOT/build" --output-on-failure --timeout 600

build "$TARVEX_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTARVEX_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$TARVEX_ROOT/build-asan" --output-on-failure --timeout 900
