#!/usr/bin/env bash
# One entry point for a fresh Debian machine:
#   ./build.sh deps   install the Debian packages every verb below needs (CI's first step)
#   ./build.sh run    install what is missing, build, start celes on the shipped sky data
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh test-sanitize   the tests again, built with AddressSanitizer and UBSan
#   ./build.sh test-tsan   the tests of the threaded parts (render worker, serial port, telescope)
#                          built with ThreadSanitizer
#   ./build.sh release         a Release build, its Debian package, and the package's contents checked
#   ./build.sh fuzz [SECONDS]  the fuzz targets built with clang, each run on its seed inputs (20 s)
# Every build here treats warnings as errors (CELES_WERROR); a packager's own cmake run does not.
set -euo pipefail
cd "$(dirname "$0")"

# Debian packages the build, the tests, the fonts of the chart and the checks need: every verb installs the
# whole list before it uses any of them, so a new machine needs nothing beforehand. `file` is what cpack's
# dpkg-shlibdeps step runs to find the package's libraries; lintian, groff and appstream check the package.
PACKAGES=(cmake g++ make pkg-config qt6-base-dev libgl-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev
    libbenchmark-dev libfontconfig-dev fonts-ipafont-gothic fonts-dejavu-core libindi-dev indi-bin clang clang-format
    python3 appstream dpkg-dev desktop-file-utils qt6-translations-l10n file lintian groff-base)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        local sudo=""
        [ "$(id -u)" = 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

# ccache, where the machine has it, makes a second build of the same sources quick; nothing needs it.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

build() {  # build DIR [cmake options...] (a later -DCMAKE_BUILD_TYPE wins)
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCELES_WERROR=ON "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

case "${1:-}" in
deps)
    install_missing
    ;;
run)
    install_missing
    build build -DCELES_TESTS=OFF -DCELES_BENCH=OFF
    shift
    exec ./build/celes "$@"
    ;;
test)
    install_missing
    build build -DCELES_TESTS=ON -DCELES_BENCH=ON
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
    ;;
test-sanitize)
    install_missing
    build build-asan -DCELES_SANITIZE=ON -DCELES_TESTS=ON -DCELES_BENCH=OFF
    # new_delete_type_mismatch=0: libindi's SocketAddress::afUnix frees its socket address with a size other
    # than the one it allocated, inside the library, on every connect to the link's local relay socket.
    QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:new_delete_type_mismatch=0 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS=suppressions="$PWD/tests/lsan_suppressions.txt" \
        ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
    ;;
test-tsan)
    install_missing
    cmake -S . -B build-tsan "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCELES_TESTS=ON -DCELES_BENCH=OFF -DCELES_GUI=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
        >/dev/null
    cmake --build build-tsan -j"$(nproc)" --target celes_view_tests celes_telescope_tests
    # Any report fails the run. setarch -R: ThreadSanitizer needs the address layout it expects.
    for t in celes_view_tests celes_telescope_tests; do
        TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/tests/tsan_suppressions.txt" setarch "$(uname -m)" -R "build-tsan/tests/$t"
    done
    ;;
release)
    install_missing
    build build-release -DCMAKE_BUILD_TYPE=Release -DCELES_TESTS=OFF -DCELES_BENCH=OFF
    (cd build-release && cpack -G DEB >/dev/null)
    deb=$(ls build-release/celes_*.deb)
    tools/packaging/check_package.sh "$deb"
    ;;
fuzz)
    install_missing
    CC=clang CXX=clang++ build build-fuzz -DCELES_FUZZ=ON -DCELES_GUI=OFF -DCELES_TESTS=OFF -DCELES_BENCH=OFF
    seconds=${2:-20}
    for seeds in fuzz/seeds/*/; do
        target=$(basename "$seeds")
        corpus=$(mktemp -d)
        echo "fuzzing $target for ${seconds} s"
        # New inputs go to the scratch folder first named; the committed seeds stay as they are.
        "build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "$seeds" \
            >"$corpus.log" 2>&1 || { tail -40 "$corpus.log"; exit 1; }
        rm -rf "$corpus" "$corpus.log"
    done
    ;;
*)
    echo "usage: $0 deps|run|test|test-sanitize|test-tsan|release|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
