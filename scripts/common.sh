# Sourced by the scripts: building, and a private Wine session.

novra_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# novra_build BUILD_DIR [cmake --build arguments...]
# Installs what is missing, configures the cross build once, and builds.
novra_build() {
    local build=$1
    shift
    bash "$novra_root/scripts/setup.sh"
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$novra_root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_TOOLCHAIN_FILE="$novra_root/cmake/toolchain-i686-mingw.cmake" >/dev/null
    fi
    cmake --build "$build" -j"$(nproc)" "$@"
}

# A private virtual display and Wine prefix for the rest of the script,
# both removed when it exits.
novra_wine_session() {
    . "$novra_root/scripts/xvfb.sh"
    . "$novra_root/scripts/wine-prefix.sh"
    export LC_ALL=ja_JP.UTF-8    # the ANSI code page 932, as on a Japanese system
    trap 'wine_prefix_remove; xvfb_stop' EXIT
    xvfb_start
    wine_prefix_create
}
