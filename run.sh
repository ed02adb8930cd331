#!/usr/bin/env bash
# Builds Tolvarine and starts it. On the first start it prepares the data folder: the three
# databases and the pictures, built from db/ by tolvarine-admin.
#
#   ./run.sh              the folder stored in the settings ("Data Location"), by default
#                         ~/Tolvarine/Database
#   ./run.sh --data DIR   use DIR instead, and remember it (as the Options window would)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/packages.sh

usage() { sed -n '2,7s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; }

data_dir=""
data_given=0
while (($#)); do
    case $1 in
        --data)
            [[ $# -ge 2 ]] || { echo "--data needs a folder" >&2; exit 2; }
            data_dir=$2
            data_given=1
            shift 2
            ;;
        --data=*) data_dir=${1#--data=}; data_given=1; shift ;;
        -h | --help) usage; exit 0 ;;
        *) echo "unknown argument: $1" >&2; usage >&2; exit 2 ;;
    esac
done

ensure_packages "${TOLVARINE_PACKAGES[@]}"

build=${TOLVARINE_BUILD_DIR:-build}  # another folder keeps a developer's own build apart
configure_build "$build"
cmake --build "$build" -j"$(nproc)" --target tolvarine-admin tolvarine

admin=$build/tools/admin/tolvarine-admin
if ((data_given)); then
    data_dir=$(realpath -m -- "$data_dir")
else
    data_dir=$("$admin" setting Options "Data Location")
fi

if [[ ! -e $data_dir/Definitions.mdb && ! -e $data_dir/Data.mdb && ! -e $data_dir/Messages.mdb ]]; then
    echo "Preparing the data folder $data_dir"
    "$admin" create "$data_dir"
elif [[ ! -e $data_dir/Definitions.mdb || ! -e $data_dir/Data.mdb ]]; then
    echo "warning: $data_dir holds only some of the databases; the program will ask for the rest" >&2
fi

if ((data_given)); then
    "$admin" setting Options "Data Location" "$data_dir"
    "$admin" setting Options "Definitions Location" "$data_dir"
fi
# The post office starts beside the data, so messages work without a first locate step.
if [[ -z $("$admin" setting Options PostOffice) && -e $data_dir/Messages.mdb ]]; then
    "$admin" setting Options PostOffice "$data_dir"
fi

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "note: no DISPLAY is set; to try it without a screen: xvfb-run -a ./run.sh" >&2
fi
echo "Sign in as admin with the password admin."
exec "$build/src/app/tolvarine"
