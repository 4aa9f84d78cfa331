#!/usr/bin/env bash
# Keeps the layering of src/: the core folders include no window folder and no
# Qt header, and no folder includes one above it or a neighbour on its level.
# From the bottom:
#   core:    settings, morse, clock  <  io, tonegen  <  keying
#   windows: widgets  <  dialogs, help  <  app       (any of them may use the core)
# Usage: check_layers.sh SRC_DIR. Prints every violation as FILE:LINE and the
# include, and exits 1 when there is one.
set -u
src=${1:?usage: check_layers.sh SRC_DIR}
cd "$src" || exit 2

declare -A rank=([settings]=0 [morse]=0 [clock]=0 [io]=1 [tonegen]=1 [keying]=2)
declare -A window=([widgets]=0 [dialogs]=1 [help]=1 [app]=2)
violations=0

report() {
    echo "$1: includes $2: $3"
    violations=$((violations + 1))
}

for folder in "${!rank[@]}" "${!window[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r file; do
        lineno=0
        while IFS= read -r line; do
            lineno=$((lineno + 1))
            [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
            delim=${BASH_REMATCH[1]} target=${BASH_REMATCH[2]}
            where="$file:$lineno"
            if [ "$delim" = "<" ]; then
                if [ -n "${rank[$folder]+set}" ] && [[ $target =~ ^Q[A-Za-z0-9]*(/|$) ]]; then
                    report "$where" "<$target>" "a Qt header in the core"
                fi
                continue
            fi
            path=$target
            while [[ $path == ../* ]]; do path=${path#../}; done
            [[ $path == */* ]] || continue # the folder's own header
            top=${path%%/*}
            [ "$top" = "$folder" ] && continue
            if [ -n "${rank[$folder]+set}" ]; then
                if [ -n "${window[$top]+set}" ]; then
                    report "$where" "\"$target\"" "a window folder from the core"
                elif [ -n "${rank[$top]+set}" ] && [ "${rank[$top]}" -gt "${rank[$folder]}" ]; then
                    report "$where" "\"$target\"" "$top lies above $folder"
                fi
            elif [ -n "${window[$top]+set}" ]; then
                if [ "${window[$top]}" -gt "${window[$folder]}" ]; then
                    report "$where" "\"$target\"" "$top lies above $folder"
                elif [ "${window[$top]}" -eq "${window[$folder]}" ]; then
                    report "$where" "\"$target\"" "$top and $folder do not include each other"
                fi
            fi
        done < "$file"
    done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if [ "$violations" -gt 0 ]; then
    echo "layering: $violations violation(s)"
    exit 1
fi
echo "layering: no violations"
