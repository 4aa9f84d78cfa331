#!/usr/bin/env bash
# The layering check finds what it must and passes what it must: a clean tree
# of every folder, then the same tree with violations of each kind added.
set -u
check=$(dirname "$0")/check_layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{settings,morse,clock,io,tonegen,keying,widgets,dialogs,help,app}
echo '#include "settings/settings.h"' > "$tree/morse/ok.cpp"
printf '#include "clock/clock.h"\n#include "settings/settings.h"\n' > "$tree/io/ok.cpp"
printf '#include "io/portdriver.h"\n#include "engine.h"\n#include <string>\n' > "$tree/keying/ok.cpp"
printf '#include "settings/settings.h"\n#include <QLabel>\n' > "$tree/widgets/ok.cpp"
printf '#include "widgets/form.h"\n#include "keying/engine.h"\n#include <QDialog>\n' > "$tree/dialogs/ok.h"
echo '#include "widgets/logo.h"' > "$tree/help/ok.cpp"
printf '#include "keying/engine.h"\n#include "dialogs/comform.h"\n#include "help/aboutform.h"\n#include "widgets/msgform.h"\n' > "$tree/app/ok.cpp"

"$check" "$tree" >/dev/null || { echo "FAIL: a clean tree was refused"; exit 1; }

printf '// header\n#include "app/form.h"\n' > "$tree/keying/bad1.h"
echo '#include <QTimer>' > "$tree/tonegen/bad2.cpp"
echo '#include "keying/engine.h"' > "$tree/io/bad3.cpp"
echo '#include "../io/portdriver.h"' > "$tree/clock/bad4.cpp"
echo '#  include <QtCore/QString>' > "$tree/settings/bad5.h"
echo '#include "dialogs/comform.h"' > "$tree/widgets/bad6.cpp"
printf '#include "widgets/form.h"\n#include "app/keyform.h"\n' > "$tree/dialogs/bad7.cpp"
echo '#include "../app/forms.h"' > "$tree/help/bad8.h"
echo '#include "help/memo.h"' > "$tree/dialogs/bad9.cpp"
echo '#include "help/aboutform.h"' > "$tree/widgets/bad10.cpp"
out=$("$check" "$tree")
status=$?
fail=0
[ $status -eq 1 ] || { echo "FAIL: exit status $status with violations"; fail=1; }
for expected in 'keying/bad1.h:2: includes "app/form.h"' 'tonegen/bad2.cpp:1: includes <QTimer>' \
                'io/bad3.cpp:1: includes "keying/engine.h"' 'clock/bad4.cpp:1: includes "../io/portdriver.h"' \
                'settings/bad5.h:1: includes <QtCore/QString>' 'widgets/bad6.cpp:1: includes "dialogs/comform.h"' \
                'dialogs/bad7.cpp:2: includes "app/keyform.h"' 'help/bad8.h:1: includes "../app/forms.h"' \
                'dialogs/bad9.cpp:1: includes "help/memo.h"' 'widgets/bad10.cpp:1: includes "help/aboutform.h"' \
                'layering: 10 violation(s)'; do
    grep -qF "$expected" <<<"$out" || { echo "FAIL: not reported: $expected"; fail=1; }
done
[ $fail -eq 0 ] && echo "check_layers: all cases passed"
exit $fail
