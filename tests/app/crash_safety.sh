#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Crash safety of the maintenance commands: tilvo-cli backup, restore, compact, import and
# import-mdb (of the small Jet database of the test data) are killed with SIGKILL at random
# moments on a populated data folder. After every kill the database under the live name must
# open, pass the integrity check and hold either the content it had before the command or the
# one the command was making (for an import: none of the file's entries, or all of them with
# the counter moved), and the same command run again must
# succeed.
#
# Usage: crash_safety.sh PATH/TO/tilvo-cli [KILLS_PER_COMMAND [COMMAND...]]
set -euo pipefail

CLI=${1:?the path of tilvo-cli}
KILLS=${2:-20}
shift $(($# > 1 ? 2 : 1))
COMMANDS=("$@")
[ ${#COMMANDS[@]} -gt 0 ] || COMMANDS=(backup restore compact import import-mdb)
JET="$(dirname "$(readlink -f "$0")")/../data/jet/tilvo-jet4-small.mdb"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# The lock and the user's folders of this run only.
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
DATA="$WORK/data"
LIVE="$DATA/Data/Access/TILVO.MDB"
IMAGES="$DATA/Data/Images"

fail() {
    echo "ÉCHEC : $*" >&2
    ls -la "$DATA/Data/Access" "$DATA/Backup" >&2 2>/dev/null || true
    exit 1
}

cli() {
    "$CLI" --data "$DATA" "$@" >/dev/null 2>"$WORK/cli.err"
}

# The data of the tables a person keeps (the history aside, which every command adds to).
content() {
    sqlite3 "$LIVE" "SELECT * FROM PROFILES ORDER BY ID; SELECT * FROM ACCOUNT ORDER BY Id;
                     SELECT * FROM CONSUMPTION ORDER BY Id;" | sha256sum | cut -d' ' -f1
}

check_live() {
    local when=$1
    [ -s "$LIVE" ] || fail "$when : pas de base de données sous $LIVE"
    local verdict
    verdict=$(sqlite3 "$LIVE" "PRAGMA integrity_check;" 2>&1) ||
        fail "$when : la base de données ne s'ouvre pas : $verdict"
    [ "$verdict" = "ok" ] || fail "$when : contrôle d'intégrité : $verdict"
}

now_ms() { date +%s%3N; }

# The entries and the counter of the account that receives the imports (ids aside, which an
# import never reuses).
import_content() {
    sqlite3 "$LIVE" "SELECT Count FROM ACCOUNT WHERE Id=3;
                     SELECT DateAction, Quantity, Price, Description FROM CONSUMPTION
                     WHERE Id_Account=3 ORDER BY DateAction, Quantity, Price, Description;" |
        sha256sum | cut -d' ' -f1
}
empty_import_account() {
    sqlite3 "$LIVE" "DELETE FROM CONSUMPTION WHERE Id_Account=3; UPDATE ACCOUNT SET Count=5 WHERE Id=3;"
}

# A populated data folder: the first run installs the template, then a household's years.
cli update || fail "première préparation : $(cat "$WORK/cli.err")"
sqlite3 "$LIVE" <<'SQL'
BEGIN;
INSERT INTO PROFILES (LoginName, FullName) VALUES ('Maison', 'Famille Martin');
INSERT INTO ACCOUNT (Id_File, Title, Description, Unit) VALUES (1, 'Eau', 'Compteur principal', 'm3');
INSERT INTO ACCOUNT (Id_File, Title, Description, Unit) VALUES (1, 'Électricité', 'Heures pleines', 'kWh');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)
INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price, Description)
SELECT 1, 1 + i % 2, date('2000-01-01', '+' || (i % 9000) || ' days'), i * 0.25, i * 0.1,
       'relevé numéro ' || i || ' ' || hex(randomblob(40))
FROM n;
COMMIT;
SQL
for i in $(seq 1 40); do
    head -c 200000 /dev/urandom >"$IMAGES/Account$i.jpg"
done

# Two archives of different content, for the restores.
cli backup "$WORK/A.bkp" || fail "sauvegarde A : $(cat "$WORK/cli.err")"
CONTENT_A=$(content)
sqlite3 "$LIVE" "DELETE FROM CONSUMPTION WHERE Id % 3 = 0; UPDATE ACCOUNT SET Title = Title || ' (modifié)';"
cli backup "$WORK/B.bkp" || fail "sauvegarde B : $(cat "$WORK/cli.err")"
CONTENT_B=$(content)
[ "$CONTENT_A" != "$CONTENT_B" ] || fail "les deux sauvegardes ont le même contenu"

# How long each command takes when left alone: the kills fall anywhere in that time.
duration_ms() {
    local start
    start=$(now_ms)
    cli "$@" || fail "$* : $(cat "$WORK/cli.err")"
    echo $(($(now_ms) - start))
}
declare -A TIME
TIME[backup]=$(duration_ms backup "$WORK/C.bkp")
TIME[compact]=$(duration_ms compact)
TIME[import-mdb]=$(duration_ms import-mdb "$JET")
CONTENT_JET=$(content)
TIME[restore]=$(duration_ms restore "$WORK/A.bkp")
CURRENT=$CONTENT_A

# The imports, on the database the other commands left: an account's entries exported, then
# imported into a third account.
prepare_import() {
    sqlite3 "$LIVE" "INSERT OR REPLACE INTO ACCOUNT (Id, Id_File, Title, Count, IncCount)
                     VALUES (3, 1, 'Copie', 5, 1);"
    cli export "$WORK/E.csv" --account 1 || fail "exportation : $(cat "$WORK/cli.err")"
    empty_import_account
    IMPORT_BEFORE=$(import_content)
    TIME[import]=$(duration_ms import "$WORK/E.csv" --account 3)
    IMPORT_AFTER=$(import_content)
    [ "$IMPORT_BEFORE" != "$IMPORT_AFTER" ] || fail "l'importation n'a rien changé"
}

for command in "${COMMANDS[@]}"; do
    [ "$command" != import ] || prepare_import
    echo "== $command (${TIME[$command]} ms sans interruption) : $KILLS interruptions"
    for round in $(seq 1 "$KILLS"); do
        args=("$command")
        content_of=content
        if [ "$command" = import-mdb ] && [ "$CURRENT" = "$CONTENT_JET" ]; then
            # Each import starts from other data than the converted one.
            cli restore "$WORK/A.bkp" || fail "restauration avant import : $(cat "$WORK/cli.err")"
            CURRENT=$CONTENT_A
        fi
        # The safety archives of the imports are not looked at here.
        rm -f "$DATA"/Backup/TILVO_AVANT_IMPORT_*.bkp
        before=$(content)
        after=$before
        case $command in
        backup) args+=("$WORK/C.bkp") ;;
        import)
            args+=("$WORK/E.csv" --account 3)
            content_of=import_content
            empty_import_account
            before=$IMPORT_BEFORE
            after=$IMPORT_AFTER
            ;;
        import-mdb)
            args+=("$JET")
            after=$CONTENT_JET
            ;;
        restore)
            if [ "$CURRENT" = "$CONTENT_A" ]; then
                args+=("$WORK/B.bkp")
                after=$CONTENT_B
            else
                args+=("$WORK/A.bkp")
                after=$CONTENT_A
            fi
            ;;
        esac
        delay=$((RANDOM * 32768 + RANDOM))
        delay=$((delay % (TIME[$command] * 11 / 10 + 1)))
        "$CLI" --data "$DATA" "${args[@]}" >/dev/null 2>&1 &
        pid=$!
        sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true

        when="$command, interruption $round à $delay ms"
        check_live "$when"
        found=$($content_of)
        [ "$found" = "$before" ] || [ "$found" = "$after" ] ||
            fail "$when : la base ne contient ni l'ancien ni le nouveau contenu"

        # An import that was through before the kill is not made twice.
        if [ "$command" != import ] || [ "$found" = "$before" ]; then
            cli "${args[@]}" || fail "$when : la commande suivante a échoué : $(cat "$WORK/cli.err")"
        fi
        check_live "$when, puis sans interruption"
        [ "$($content_of)" = "$after" ] || fail "$when, puis sans interruption : contenu inattendu"
        CURRENT=$after
        echo "   $round : $delay ms, ok"
    done
done
echo "Toutes les interruptions ont laissé une base de données intacte."
