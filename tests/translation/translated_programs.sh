#!/bin/sh
# Every text the user sees can be translated without touching the code: the
# texts are gathered into a .ts file, and a translation made of it is used by
# the program for a user of that language.
#   translated_programs.sh BUILD_DIR
set -eu
build=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$top/tools/scripts/update-translations.sh" "$tmp/quillon.ts"
# One text of each part, with its placeholders.
for text in 'Unsupported or bad video file: %1!' '&amp;Extract' 'Ouput Directory:' 'unknown option %1 (see --help)' \
    'The converter failed with exit code %1' 'Select Directory' 'Mi&amp;nimize' 'Usage: quillon-cli [options] PATH...' \
    'No sound track in the language %1; the first one was taken' 'File Name'; do
    grep -qF "<source>$text" "$tmp/quillon.ts" || fail "not gathered: $text"
done

# A German translation of one text, used by a copy of quillon-cli.
sed 's|<source>unknown option %1 (see --help)</source>|&<translation>unbekannte Option %1 (siehe --help)</translation>|' \
    "$tmp/quillon.ts" | sed '/<translation>unbekannte/{n;/type="unfinished"/d}' >"$tmp/quillon_de.ts"
mkdir -p "$tmp/program/translations"
lrelease=$(command -v lrelease || echo /usr/lib/qt6/bin/lrelease)
"$lrelease" -silent "$tmp/quillon_de.ts" -qm "$tmp/program/translations/quillon_de.qm"
cp "$build/quillon-cli" "$tmp/program/"
said=$(LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$tmp/program/quillon-cli" --bogus 2>&1 || true)
[ "$said" = "quillon-cli: unbekannte Option --bogus (siehe --help)" ] || fail "in German: $said"
said=$(LANG=C LC_ALL=C "$tmp/program/quillon-cli" --bogus 2>&1 || true)
[ "$said" = "quillon-cli: unknown option --bogus (see --help)" ] || fail "in English: $said"
echo "translations: OK"
