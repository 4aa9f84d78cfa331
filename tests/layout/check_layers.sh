#!/usr/bin/env bash
# Keeps the layering of src/: the core folders include no window folder and no
# Qt header, and no core folder includes one above it. From the bottom:
#   settings, morse, clock  <  io, tonegen  <  keying
# Usage: check_layers.sh SRC_DIR. Prints every violation as FILE:LINE and the
# include, and exits 1 when there is one.
set -u
src=${1:?usage: check_layers.sh SRC_DIR}
cd "$src" || exit 2

declare -A rank=([settings]=0 [morse]=0 [clock]=0 [io]=1 [tonegen]=1 [keying]=2)
windows=" app dialogs help "
violations=0

report() {
    echo "$1: includes $2: $3"
    violations=$((violations + 1))
}

for folder in "${!rank[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r file; do
        lineno=0
        while IFS= read -r line; do
            lineno=$((lineno + 1))
            [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
            delim=${BASH_REMATCH[1]} target=${BASH_REMATCH[2]}
            where="$file:$lineno"
            if [ "$delim" = "<" ]; then
                if [[ $target =~ ^Q[A-Za-z0-9]*(/|$) ]]; then
                    report "$where" "<$target>" "a Qt header in the core"
                fi
                continue
            fi
            path=$target
            while [[ $path == ../* ]]; do path=${path#../}; done
            [[ $path == */* ]] || continue # the folder's own header
            top=${path%%/*}
            if [[ $windows == *" $top "* ]]; then
                report "$where" "\"$target\"" "a window folder from the core"
            elif [ -n "${rank[$top]+set}" ] && [ "${rank[$top]}" -gt "${rank[$folder]}" ]; then
                report "$where" "\"$target\"" "$top lies above $folder"
            fi
        done < "$file"
    done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if [ "$violations" -gt 0 ]; then
    echo "layering: $violations violation(s)"
    exit 1
fi
echo "layering: no violations"
