#!/usr/bin/env bash
# Fails when an #include in src/ points up the layers. Each layer may include its own
# headers and those of the layers below it, never one above:
#   core < engine < data < messaging < reports < forms/framework < forms/<area> < app
# core, engine, data and messaging also stay clear of QtWidgets (they are tested without
# a display). The tools stand above every layer: nothing in src/ includes their headers,
# and the demo company's library (tools/demo) uses core, engine and data only. Prints each
# offending line; the exit code is 1 when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# rank FOLDER: the layer of a folder under src/ ("forms/customers" is a window area).
rank() {
    case $1 in
        core) echo 0 ;;
        engine) echo 1 ;;
        data) echo 2 ;;
        messaging) echo 3 ;;
        reports) echo 4 ;;
        forms/framework) echo 5 ;;
        forms/*) echo 6 ;;
        app) echo 7 ;;
        *) echo -1 ;;
    esac
}

# layer_of PATH: "core", "forms/framework", "forms/customers" ... for a path under src/.
layer_of() {
    local rest=${1#src/}
    case $rest in
        forms/*) rest=${rest#forms/}; echo "forms/${rest%%/*}" ;;
        *) echo "${rest%%/*}" ;;
    esac
}

widget_headers=$(printf '%s\n' QWidget QDialog QApplication QMessageBox QMainWindow QLabel \
    QLineEdit QPushButton QComboBox QListWidget QTableView QTreeWidget QMdiArea QMdiSubWindow \
    QtWidgets QAbstractButton QCheckBox QTextEdit QFileDialog QInputDialog | paste -sd'|')

failed=0
while IFS= read -r file; do
    if [[ $file == tools/demo/* ]]; then
        from=data  # may use what the data layer may, and the data layer itself
    else
        from=$(layer_of "$file")
    fi
    from_rank=$(rank "$from")
    while IFS= read -r line; do
        target=${line#*\"}
        target=${target%%\"*}
        [[ $target == */* ]] || continue  # same-folder headers and generated ui_*.h
        if [[ $file == src/* && -e tools/$target ]]; then
            echo "$file: includes $target (a tool's header)"
            failed=1
            continue
        fi
        to=$(layer_of "src/$target")
        to_rank=$(rank "$to")
        ((to_rank >= 0)) || continue
        if ((to_rank > from_rank)); then
            echo "$file: includes $target ($to is above $from)"
            failed=1
        fi
    done < <(grep -E '^\s*#\s*include\s+"' "$file" || true)
    if ((from_rank >= 0 && from_rank <= 3)) &&
        grep -nE "^\s*#\s*include\s+<($widget_headers)>" "$file" >/dev/null; then
        echo "$file: includes a QtWidgets header below the window layers"
        failed=1
    fi
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/demo/*.cpp' 'tools/demo/*.h' 2>/dev/null ||
    find src tools/demo -name '*.cpp' -o -name '*.h')

if ((failed)); then
    echo "Layer check failed: move the code down, or pass what it needs in from above." >&2
    exit 1
fi
echo "Layer check passed."
