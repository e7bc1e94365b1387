#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds Tarvex with warnings as errors and
# runs every test: once in a normal build and once built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
source "$(dirname "$0")/scripts/common.sh"

install_missing "${TARVEX_PACKAGES[@]}" "${TARVEX_TEST_PACKAGES[@]}"

echo "Checking the formatting against .clang-format"
# The sources are listed without git, which a source tarball lacks; build folders are left out.
find "$TARVEX_ROOT" -type d \( -name .git -o -exec test -e '{}/CMakeCache.txt' ';' \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

# The tests start a throwaway PostgreSQL server of their own; here one that cannot start fails them.
export TARVEX_REQUIRE_POSTGRESQL=1

build "$TARVEX_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEX_WERROR=ON
ctest --test-dir "$TARVEX_ROOT/build" --parallel "$(nproc)" --output-on-failure --timeout 600

build "$TARVEX_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTARVEX_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$TARVEX_ROOT/build-asan" --parallel "$(nproc)" --output-on-failure --timeout 900
