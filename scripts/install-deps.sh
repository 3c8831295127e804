# Sourced by run.sh and test.sh: installs the Debian packages the build needs.
# As root it runs apt-get for whatever is missing; otherwise it names the
# packages to install and stops.

# Usage: install_missing_packages PACKAGE...
install_missing_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them first:  sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q "${missing[@]}"
}

# What building and running the window needs.
RUN_PACKAGES=(g++ make cmake pkg-config qt6-base-dev qt6-qpa-plugins fonts-liberation zlib1g-dev)
# What ./test.sh --quick needs to build and run the unit tests (Python runs the
# comparison of rfc's outputs with the recorded ones, and with openpyxl and
# xmllint checks the workbooks rfc writes; expat is what the XML reader is
# proved against).
QUICK_TEST_PACKAGES=("${RUN_PACKAGES[@]}" libgtest-dev python3 python3-openpyxl libxml2-utils
    libexpat1-dev)
# What building and running every test needs on top of the window's packages.
# The packaging check builds the Debian packages (dpkg-dev for dpkg-shlibdeps)
# and runs lintian and the desktop and AppStream validators on them; the
# cross-compile check compiles the portable code with em++ (emscripten) and
# mingw-w64's POSIX-threads g++, and runs the Windows seam's test under Wine;
# the browser engine's module is tested under Node, the page in headless
# Chromium; rfc.exe is tested under Wine against GoogleTest's sources, its zip
# unpacked by unzip; zopfli deflates the WebAssembly that the page and module
# carry, terser minifies the page's scripts; mingw-w64's static zlib goes
# into rfc.exe, and LibreOffice opens the workbooks rfc writes.
TEST_PACKAGES=("${RUN_PACKAGES[@]}" libgtest-dev python3 libbenchmark-dev clang libclang-rt-14-dev valgrind
    dpkg-dev lintian appstream desktop-file-utils emscripten g++-mingw-w64-x86-64-posix wine
    wine64 googletest unzip nodejs chromium firefox-esr zopfli terser python3-openpyxl libxml2-utils
    libexpat1-dev libz-mingw-w64-dev libreoffice-calc-nogui)
