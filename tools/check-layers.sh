#!/usr/bin/env bash
# Refuses an #include that goes against the layer order of src/: a file may include headers of
# its own folder and of folders in lower layers only. Sideways includes between two folders of
# one layer would let the folders form a cycle, so they are refused too, except where the order
# below lists the two folders one above the other.
#
#   tools/check-layers.sh [SRC_DIR]     exit 0: clean; 1: violations listed on stderr
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

# Folder, then its rank; lower ranks are the lower layers.
ranks='
core 0
platform 1
keys 2
macros 3
assignments 4
lighting 4
profiles 5
device 6
editing 6
driver 7
sim 7
backends/hidapi 7
backends/uhid 8
service 8
texts 9
app 10
gui/widgets 10
gui 11
cli 11
'

rank_of() {
    awk -v folder="$1" '$1 == folder { print $2; found = 1 } END { if (!found) print "" }' <<<"$ranks"
}

status=0
cd "$src"
while IFS= read -r file; do
    folder=$(dirname "$file")
    own=$(rank_of "$folder")
    if [[ -z "$own" ]]; then
        echo "check-layers: $file: the folder $folder has no place in the layer order" >&2
        status=1
        continue
    fi
    while IFS= read -r line; do
        included=${line#*\"}
        included=${included%%\"*}
        target=$(dirname "$included")
        [[ "$target" == "." || "$target" == "$folder" ]] && continue
        other=$(rank_of "$target")
        if [[ -z "$other" ]]; then
            continue  # not one of ours
        fi
        if (( other >= own )); then
            echo "check-layers: $file includes $included: $target is not below $folder" >&2
            status=1
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)
exit $status
