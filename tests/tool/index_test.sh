#!/usr/bin/env bash
# 'gibo index' and 'gibo find' on a collection in four code pages: find answers as a scan of
# 'gibo show --json' does, also after changes; interrupted runs keep their committed batches;
# bad databases, directories and a full disk are refused without damage.
# Usage: tests/tool/index_test.sh path/to/gibo
. "${BASH_SOURCE%/*}/common.sh" "$1"
# Runs as an ordinary user when root, whom permissions do not stop.
as_user() { if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi; }
rec() {  # FILE CODEPAGE GAMEINFOMAIN [GAMENAME], texts typed in UTF-8
  { line '\\HS'; line '\\[TYPE=2\\]'; [ -z "${4:-}" ] || line "\\\\[GAMENAME=$4\\\\]"
    line "\\\\[GAMEINFOMAIN=$3\\\\]"; line '\\HE'; line '\\GS'; line 'STO 0 1 1 3 3'; line '\\GE'
  } | iconv -f UTF-8 -t "${2/SHIFT_JIS/CP932}" >"$1"   # CP932 keeps the backslash
}

sql_has() { run_cmd 0 sqlite3 "$1" "$2"; has_text "$work/out" "$3"; }  # DB QUERY TEXT
coll=$work/coll
db=$work/index.db
cps=(GBK CP949 BIG5 SHIFT_JIS)
while IFS='|' read -r cp name info gamename; do
  mkdir -p "$coll/$cp"
  rec "$coll/$cp/$name.gib" "$cp" "$info" "$gamename"
done <<'TABLE'
GBK|a|S1,R0,D65,W0,Z65,C2013:1:7:14:5,IX古力,LX27,MX常昊,NX26|第1届名人战
GBK|b|GBKIND:1,GDATE:2013-5-2-10-0-0,WID:柯洁,WLV:35,BID:古力,BLV:34,GCDT:3,GRLT:4,TCNT:211,GNAME:名人战决赛,|
GBK|c|S1,R2,W1,Z5,C2012:12:5:9:0,IXKim01,LX20,MX古力,NX19|
CP949|d|S1,R0,W3,C2013:3:9:13:0,IX이세돌,LX35,MX박정환,NX35|
CP949|e|GBKIND:1,GDATE:2014-1-1-1-1-0,WID:박정환,BID:이세돌,GRLT:2,TCNT:150,GNAME:명인전,|
BIG5|f|S1,R4,W0,Z75,C2011:6:1:14:0,IX林海峰,LX30,MX王立誠,NX31|棋王
SHIFT_JIS|g|GBKIND:1,GDATE:2013-11-30-15-30-0,WID:井山裕太,BID:高尾紳路,GRLT:5,TCNT:99,GNAME:本因坊戦,|
TABLE
printf 'not a record\n' >"$coll/GBK/plain.gib"

# Each question of find beside the show --json lines that answer it (extended regexes, all
# of which must match).
compare_all() {
  for cp in "${cps[@]}"; do "$gibo" show --json --encoding "$cp" -r "$coll/$cp" 2>/dev/null; done >"$work/show"
  while IFS='|' read -r args patterns; do
    want=$(cat "$work/show"); IFS='&' read -ra res <<<"$patterns"
    for re in "${res[@]}"; do want=$(grep -E -- "$re" <<<"$want"); done
    want=$(sed 's/^{"file":"\([^"]*\)".*/\1/' <<<"$want" | sort)
    got=$("$gibo" find "$db" $args | cut -f6 | sort)  # args split on purpose
    [ -n "$want" ] || fail "find $args: the question finds nothing to compare"
    [ "$got" = "$want" ] || fail "find $args: $got instead of $want"
  done <<'TABLE'
--player 古力|(IX|MX|WID:|BID:)古力
--player kim|(IX|MX|WID:|BID:)[Kk]im
--player 세돌|(IX|MX|WID:|BID:)이세돌
--white 박정환|(IX|WID:)박정환
--player 海峰|(IX|MX)林海峰
--player 山裕太|WID:井山裕太
--winner black|"result":"黑
--winner draw|"result":"和
--handicap 3|"condition":"让3子
--from 2013-01-01 --to 2013-12-31|"date":"2013年
--from 2013-06|"date":"(2013年([7-9]|1[0-2])月|201[4-9]年)
--name 名人|("game_name":"|GAMENAME","value":")[^"]*名人
--min-moves 150|"moves":"总: (1[5-9][0-9]|[2-9][0-9][0-9])数
--player 古力 --winner white|(IX|MX|WID:|BID:)古力&"result":"白
TABLE
}

run 1 index --encoding GBK "$db" "$coll/GBK"  # plain.gib fails to load, is stored and counted
for cp in CP949 BIG5 SHIFT_JIS; do run 0 index --encoding "$cp" "$db" "$coll/$cp"; done
sql_has "$db" "SELECT error_code, path FROM records WHERE error IS NOT NULL" "268435461|$coll/GBK/plain.gib"
sql_has "$db" "SELECT group_concat(tag) FROM (SELECT tag FROM header_items JOIN records ON id = record_id
  WHERE path LIKE '%/a.gib' ORDER BY seq)" "TYPE,GAMENAME,GAMEINFOMAIN"
run 0 find --json "$db" --player 세돌 --winner black
has_text "$work/out" '"codepage":"CP949","codepage_reason":"option"' \
  '"white_name":"이세돌","white_level":35,"black_name":"박정환"'
compare_all

# Change one record, remove one, re-index: only those two are touched.
rec "$coll/GBK/a.gib" GBK 'S1,R0,W1,Z5,C2015:2:3:4:5,IXkim02,LX27,MX常昊,NX26' 名人战
rm "$coll/GBK/c.gib"
says 0 "indexed 1, unchanged 2, removed 1, failed 0" index --encoding GBK "$db" "$coll/GBK"
compare_all
says 0 "indexed 1, unchanged 0, removed 0" index --full --encoding GBK "$db" "$coll/GBK/b.gib"

# Stopped (INT, KILL) after a commit: committed batches stay, the database is sound, the next run goes on.
mkdir -p "$work/many" && tee "$work/many/r"{1000..1599}.gib <"$coll/GBK/b.gib" >/dev/null
for sig in INT KILL; do
  rm -f "$work/int.db"*
  "$gibo" index --batch 5 "$work/int.db" "$work/many" 2>"$work/err" & pid=$!
  until [ "$(sqlite3 "$work/int.db" "SELECT count(*) FROM records" 2>/dev/null || echo 0)" -ge 5 ] || ! kill -0 "$pid" 2>/dev/null; do
    sleep 0.01  # and never past the indexer's end: a run that failed early must not hang the test
  done
  kill -"$sig" "$pid"
  wait "$pid" 2>/dev/null; status=$?
  [ "$status" -ne 0 ] || fail "an interrupted run ($sig) exited 0"
  [ "$sig" = KILL ] || has_text "$work/err" "interrupted: the index holds the batches committed before"
  run_cmd 0 sqlite3 "$work/int.db" "PRAGMA integrity_check; SELECT count(*) FROM records"
  kept=$(tail -n 1 "$work/out")
  [ "$(head -n 1 "$work/out")" = ok ] && [ $((kept % 5)) -eq 0 ] && [ "$kept" -lt 600 ] ||
    fail "after $sig: $(cat "$work/out")"
  says 0 "indexed $((600 - kept)), unchanged $kept" index "$work/int.db" "$work/many"
done
sql_has "$work/int.db" "SELECT DISTINCT codepage, codepage_reason != 'option' FROM records" "GBK|1"  # detected

# A refused database is left as it was (the messages are pinned in pins/index-commands).
printf 'plain text, not a database\n' >"$work/text.db" && cp "$work/text.db" "$work/before"
run 1 index "$work/text.db" "$coll/GBK"
cmp -s "$work/text.db" "$work/before" || fail "a refused run changed text.db"
run 1 find "$work/nothing.db"
[ ! -e "$work/nothing.db" ] || fail "find created a database"

# Read-only index, unreadable directory (its records stay indexed), full disk.
mkdir -p "$work/ro" "$work/user/coll/locked"
cp "$db" "$work/ro/index.db"; chmod 444 "$work/ro/index.db"
run_cmd 1 as_user "$gibo" index "$work/ro/index.db" "$coll/GBK"
has_text "$work/err" "the index is read-only"
cmp -s "$db" "$work/ro/index.db" || fail "a read-only index was changed"
cp "$coll/GBK/b.gib" "$work/user/coll/locked/" && cp "$coll/GBK/a.gib" "$work/user/coll/"
[ "$(id -u)" -ne 0 ] || chown -R 65534 "$work/user"
run_cmd 0 as_user "$gibo" index "$work/user/u.db" "$work/user/coll"
chmod 000 "$work/user/coll/locked"
run_cmd 1 as_user "$gibo" index "$work/user/u.db" "$work/user/coll"
has_text "$work/err" "cannot read $work/user/coll/locked: Permission denied (the records below it stay as indexed)"
has_text "$work/out" "indexed 0, unchanged 1, removed 0"
cp "$db" "$work/full.db"
run_cmd 1 limited "-f 64" "$gibo" index --batch 2 "$work/full.db" "$work/many"
has_text "$work/err" "cannot write the index"
sql_has "$work/full.db" "PRAGMA integrity_check" ok
run 0 find "$work/full.db" --player 古力

# The progress line, on a terminal only.
if command -v script >/dev/null; then script -qec "'$gibo' index --full '$work/int.db' '$work/many'" /dev/null \
  >"$work/pty" </dev/null; has_text "$work/pty" "records/s, 0 errors"; fi

finish index
