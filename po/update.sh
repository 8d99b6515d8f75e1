#!/bin/sh
# po/update.sh: gathers the player's texts from the sources into po/zelk.pot
# and merges them into every catalogue (po/*.po), keeping what translators
# wrote. Run from anywhere after changing a text the reader sees; then fill
# in the new entries (msgfmt --statistics po/LANG.po counts what is left).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
git ls-files 'src/*.cpp' 'src/*.h' | sort >po/.sources
# Tr() shows a text, TrFormat() fills one in, TrMark() marks a table entry
# that is shown through Tr() elsewhere.
xgettext --from-code=UTF-8 --language=C++ --keyword=Tr --keyword=TrMark --keyword=TrFormat:1 \
    --package-name=zelk --msgid-bugs-address=https://zelk.org --no-wrap --add-location=file \
    --files-from=po/.sources -o po/zelk.pot
rm -f po/.sources
for po in po/*.po; do
    msgmerge --quiet --update --backup=none --no-wrap "$po" po/zelk.pot
done
