#!/bin/sh
# Gathers every text the user sees into a Qt translation source (.ts) with
# lupdate: translations/quillon.ts, or the file given. A translator copies it
# to quillon_LANG.ts and translates it; lrelease makes quillon_LANG.qm, which
# the programs load from translations/ beside themselves or from
# share/quillon/translations/ once installed.
#   tools/scripts/update-translations.sh [OUT.ts]
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/translations/quillon.ts}
mkdir -p "$(dirname "$out")"
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
# Tr and QTr are the programs' own spellings of QCoreApplication::translate.
"$lupdate" -silent -locations none -tr-function-alias translate+=Tr,translate+=QTr \
    -extensions cpp,h "$top/src" -ts "$out"
