# Debian packages Tolvarine needs to build, test and run, and the function that installs
# the missing ones. Sourced by run.sh and test.sh; a fresh machine has none of them.

TOLVARINE_PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev   # Qt Core/Gui/Widgets/PrintSupport/Test
    libsqlite3-dev sqlite3                       # the engine's storage; sqlite3 for .recover
    libpq-dev postgresql                         # sites on a PostgreSQL server; the tests'
                                                 # throwaway server (tools/pg_server.sh)
    libsodium-dev                                # password hashes (argon2id)
    libgtest-dev libgmock-dev libbenchmark-dev   # tests and benchmarks
    libqt6sql6-sqlite                            # bench/ only: Qt Sql beside the list window
    poppler-utils                                # tests read printed PDFs back (pdftotext)
    libical-dev                                  # iCalendar export of scheduled activities
    libgmime-3.0-dev                             # reading a local Maildir or mbox mail store
    xdg-utils                                    # xdg-email: mail handed to the desktop's mail program
    xvfb xauth x11-utils fonts-dejavu-core       # windows without a screen, readable text;
                                                 # xwininfo sees the first start's window
    tango-icon-theme                             # toolbar and menu pictures on a desktop
                                                 # without an icon theme of its own
)

# ensure_packages PKG...: installs those not installed yet. apt runs only when something
# is missing, so a prepared machine starts at once and needs no network.
ensure_packages() {
    local missing=() pkg status
    for pkg in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        [[ $status == "install ok installed" ]] || missing+=("$pkg")
    done
    ((${#missing[@]} == 0)) && return 0

    echo "Installing missing packages: ${missing[*]}"
    local apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
    if [[ $(id -u) -ne 0 ]]; then
        if ! command -v sudo >/dev/null; then
            echo "Not root and no sudo: install these packages first: ${missing[*]}" >&2
            return 1
        fi
        apt=(sudo "${apt[@]}")
    fi
    "${apt[@]}" update
    "${apt[@]}" install -y --no-install-recommends "${missing[@]}" </dev/null
}

# configure_build DIR: the Ninja build folder (ccache is picked up by CMakeLists.txt).
configure_build() {
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
}
