#!/usr/bin/env bash
# The layering check finds what it must and passes what it must: a tree with
# one violation of each kind, and the same tree mended.
set -u
check=$(dirname "$0")/check_layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{settings,morse,clock,io,tonegen,keying,app}
echo '#include "settings/settings.h"' > "$tree/morse/ok.cpp"
printf '#include "clock/clock.h"\n#include "settings/settings.h"\n' > "$tree/io/ok.cpp"
printf '#include "io/portdriver.h"\n#include "engine.h"\n#include <string>\n' > "$tree/keying/ok.cpp"
echo '#include "keying/engine.h"' > "$tree/app/ok.cpp"

"$check" "$tree" >/dev/null || { echo "FAIL: a clean tree was refused"; exit 1; }

printf '// header\n#include "app/form.h"\n' > "$tree/keying/bad1.h"
echo '#include <QTimer>' > "$tree/tonegen/bad2.cpp"
echo '#include "keying/engine.h"' > "$tree/io/bad3.cpp"
echo '#include "../io/portdriver.h"' > "$tree/clock/bad4.cpp"
echo '#  include <QtCore/QString>' > "$tree/settings/bad5.h"
out=$("$check" "$tree")
status=$?
fail=0
[ $status -eq 1 ] || { echo "FAIL: exit status $status with violations"; fail=1; }
for expected in 'keying/bad1.h:2: includes "app/form.h"' 'tonegen/bad2.cpp:1: includes <QTimer>' \
                'io/bad3.cpp:1: includes "keying/engine.h"' 'clock/bad4.cpp:1: includes "../io/portdriver.h"' \
                'settings/bad5.h:1: includes <QtCore/QString>' 'layering: 5 violation(s)'; do
    grep -qF "$expected" <<<"$out" || { echo "FAIL: not reported: $expected"; fail=1; }
done
[ $fail -eq 0 ] && echo "check_layers: all cases passed"
exit $fail
