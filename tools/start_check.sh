#!/usr/bin/env bash
# Starts the program exactly as a new user does (./run.sh on an empty data folder, with
# no settings of their own) on a virtual screen, and checks that the sign-in window comes
# up. Exit 0 when it did within the time limit, 1 otherwise (with what run.sh printed).
#
#   tools/start_check.sh [SECONDS]     default 90
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
limit=${1:-90}
title="Tolvarine Sign In"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config
mkdir -p "$XDG_CONFIG_HOME"
# The build's objects stay shared with the developer's cache, so nothing is rebuilt.
export CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir 2>/dev/null || echo "$scratch/ccache")}
unset QT_QPA_PLATFORM

# Inside the virtual screen: start run.sh, wait for the window, then end the program.
cat >"$scratch/inside.sh" <<'INSIDE'
#!/usr/bin/env bash
limit=$1 title=$2 log=$3
./run.sh --data "$HOME/Tolvarine/Database" >"$log" 2>&1 &
pid=$!
found=1
for ((i = 0; i < limit * 4; i++)); do
    # The window list is read whole first: grep -q stopping early must not fail a pipe.
    windows=$(xwininfo -root -tree 2>/dev/null || true)
    if [[ $windows == *"\"$title\""* ]]; then found=0; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
exit "$found"
INSIDE
chmod +x "$scratch/inside.sh"

if xvfb-run -a "$scratch/inside.sh" "$limit" "$title" "$scratch/run.log"; then
    echo "First start: the sign-in window came up."
    exit 0
fi
echo "First start FAILED: no \"$title\" window within $limit s. run.sh printed:" >&2
cat "$scratch/run.log" >&2
exit 1
