#!/usr/bin/env bash
# tolvarine-admin check against damage that leaves the schema readable: a freshly made
# folder passes, and once one page of Data.mdb is zeroed (rows of a table gone, as after a
# disk fault) check exits 1 and names the file.
#
#   tools/admin/check_damage_test.sh PATH-TO-tolvarine-admin
set -euo pipefail
admin=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config

"$admin" create "$scratch/db" >/dev/null 2>&1
"$admin" check "$scratch/db" >/dev/null || { echo "a sound folder failed the check"; exit 1; }

# Page 2: the first table of the file, in use in every file the tool creates (4096-byte pages).
dd if=/dev/zero of="$scratch/db/Data.mdb" bs=4096 seek=1 count=1 conv=notrunc status=none
set +e
"$admin" check "$scratch/db" >"$scratch/out" 2>&1
status=$?
set -e
if ((status != 1)); then
    echo "check exited $status on a damaged Data.mdb, expected 1:"
    cat "$scratch/out"
    exit 1
fi
grep -q "Data.mdb: damaged" "$scratch/out" || { echo "check did not name the file:"; cat "$scratch/out"; exit 1; }
echo "check found the damage"
