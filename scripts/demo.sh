#!/usr/bin/env bash
# Installs what is missing, builds, and shows the main job on the built-in
# demo: an older database DEMO (tests/data/sim/demo_old.sql, 5.1.0) on the simulated
# server, and a template of version 5.2.0 built from demo/template.sql.
# Everything runs on copies in a temporary folder; the tree is not written.
#   1. log in, list the databases, pick DEMO, show both versions;
#   2. run the upgrade (--run);
#   3. look again: the database now has the template's version.
# Extra arguments go to every call of zurararudud-cli.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZR_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/zurararudud-demo.XXXXXX")"
cp "$root/tests/data/sim/demo_old.sql" "$work/demo.sql"
"$build/tools/zr-template" "$root/demo/template.sql" "$work/Template.mdb" >/dev/null
cli=("$build/cli/zurararudud-cli" --server "sim:$work/demo.sql" --login sa --database DEMO
     --template "$work/Template.mdb" --reports "$work/Raporty" --prefs "$work/prefs.ini")
export ZURARARUDUD_PASSWORD=demo

echo "== 1. Logowanie, lista baz, wybór DEMO, wersje"
"${cli[@]}" "$@"
echo
echo "== 2. Modyfikacja bazy DEMO (--run)"
status=0
"${cli[@]}" --run "$@" || status=$?
echo "(kod wyjścia: $status)"
echo
echo "== 3. Wersje po modyfikacji"
"${cli[@]}" "$@"
echo
echo "Pliki demonstracji (baza po modyfikacji, wzorzec, raporty): $work"
