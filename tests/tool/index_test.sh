#!/usr/bin/env bash
# 'gibo index' and 'gibo find' on a collection in four code pages: re-indexing touches only what
# changed; interrupted runs keep their committed batches; bad databases, directories and a full
# disk are refused without damage. (What find answers is pinned in pins/index-commands.)
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

# Read first as GBK, then each with its own code page: a record read with other options is read again.
run 1 index --encoding GBK "$db" "$coll"  # plain.gib fails to load, is stored and counted
for cp in CP949 BIG5 SHIFT_JIS; do says 0 "unchanged 0, removed 0" index --encoding "$cp" "$db" "$coll/$cp"; done
sql_has "$db" "SELECT error_code, path FROM records WHERE error IS NOT NULL" "268435461|$coll/GBK/plain.gib"
sql_has "$db" "SELECT group_concat(tag) FROM (SELECT tag FROM header_items JOIN records ON id = record_id
  WHERE path LIKE '%/a.gib' ORDER BY seq)" "TYPE,GAMENAME,GAMEINFOMAIN"

# Change one record, remove one, re-index: only those two are touched, and the one that failed
# is tried again. A record indexed by its name stays, until it is gone; one row per real file
# (a directory reached through a link); the index's own files are no records.
cp "$coll/GBK/b.gib" "$coll/GBK/b.txt"
says 0 "indexed 1, unchanged 0" index --encoding GBK "$db" "$coll/GBK/b.txt"
rec "$coll/GBK/a.gib" GBK 'S1,R0,W1,Z5,C2015:2:3:4:5,IXkim02,LX27,MX常昊,NX26' 名人战
rm "$coll/GBK/c.gib"
says 1 "indexed 2, unchanged 1, removed 1, failed 1" index --encoding GBK "$db" "$coll/GBK"
rm "$coll/GBK/b.txt"
says 1 "indexed 1, unchanged 2, removed 1, failed 1" index --encoding GBK "$db" "$coll/GBK"
# Answers come from the records as they are now: a.gib lost 古力 and gained kim02, c.gib is gone.
for q in "古力|$coll/GBK/b.gib" "kim|$coll/GBK/a.gib"; do
  got=$("$gibo" find "$db" --player "${q%%|*}" | cut -f6)
  [ "$got" = "${q#*|}" ] || fail "find --player ${q%%|*} after re-indexing: $got"
done
ln -s "$coll" "$work/link"
mv "$coll/BIG5/f.gib" "$work/f.gib"  # gone from a folder this run does not walk: it stays
says 0 "indexed 0, unchanged 2, removed 0" index --encoding CP949 "$db" "$work/link/CP949"
mv "$work/f.gib" "$coll/BIG5/f.gib"
for run in 1 2; do says 1 "removed 0, failed 1" index "$coll/GBK/self.gib" "$coll/GBK"; done
rm "$coll/GBK/self.gib"*
says 0 "indexed 1, unchanged 0, removed 0" index --full --encoding GBK "$db" "$coll/GBK/b.gib"

# Stopped (INT, KILL) after a commit: committed batches stay, the database is sound, the next run goes on.
# Enough records that the run is still going when the signal comes (600 were done too fast).
n=3000
mkdir -p "$work/many" && tee "$work/many/r"{10000..12999}.gib <"$coll/GBK/b.gib" >/dev/null
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
  [ "$(head -n 1 "$work/out")" = ok ] && [ $((kept % 5)) -eq 0 ] && [ "$kept" -lt "$n" ] ||
    fail "after $sig: $(cat "$work/out")"
  says 0 "indexed $((n - kept)), unchanged $kept" index "$work/int.db" "$work/many"
done
sql_has "$work/int.db" "SELECT DISTINCT codepage, codepage_reason != 'option' FROM records" "GBK|1"  # detected

# A FIFO or a device is no index (refused databases, left as they were, are pinned in
# pins/index-commands).
mkfifo "$work/fifo.db"
run_cmd 1 timeout 10 "$gibo" find "$work/fifo.db"; said "fifo.db: not a regular file"
run_cmd 1 timeout 10 "$gibo" index "$work/fifo.db" "$coll/GBK"; said "fifo.db: not a regular file"
says 1 "/dev/null: not a regular file" index /dev/null "$coll/GBK"

# Read-only index (find reads it in a directory it cannot write), unreadable record (tried again
# until it loads) and directory (its records stay indexed), full disk.
ro="$work/ro $(printf '\xb9\xc5')?#%"  # 古 in GBK, and what a URI would take as its own
mkdir -p "$ro" "$work/user/coll/locked"
cp "$db" "$ro/index.db"; chmod 444 "$ro/index.db"
run_cmd 1 as_user "$gibo" index "$ro/index.db" "$coll/GBK"
has_text "$work/err" "the index is read-only"
cmp -s "$db" "$ro/index.db" || fail "a read-only index was changed"
chmod 555 "$ro" && run_cmd 0 as_user "$gibo" find "$ro/index.db" --white kim02
has_text "$work/out" "$coll/GBK/a.gib" && chmod 755 "$ro"
cp "$coll/GBK/b.gib" "$work/user/coll/locked/" && cp "$coll/GBK/a.gib" "$work/user/coll/"
[ "$(id -u)" -ne 0 ] || chown -R 65534 "$work/user"
chmod 000 "$work/user/coll/a.gib"
run_cmd 1 as_user "$gibo" index "$work/user/u.db" "$work/user/coll"
chmod 644 "$work/user/coll/a.gib" && chmod 000 "$work/user/coll/locked"
run_cmd 1 as_user "$gibo" index "$work/user/u.db" "$work/user/coll"
has_text "$work/err" "cannot read $work/user/coll/locked: Permission denied (the records below it stay as indexed)"
has_text "$work/out" "indexed 1, unchanged 0, removed 0, failed 0"
run_cmd 0 as_user "$gibo" find "$work/user/u.db" --white kim02
has_text "$work/out" "$work/user/coll/a.gib"
cp "$db" "$work/full.db"
run_cmd 1 limited "-f 64" "$gibo" index --batch 2 "$work/full.db" "$work/many"
has_text "$work/err" "cannot write the index"
sql_has "$work/full.db" "PRAGMA integrity_check" ok
run 0 find "$work/full.db" --player 古力

# Ctrl-C while another run holds the index's lock ends the wait at once.
mkfifo "$work/hold" && { sqlite3 "$db" <"$work/hold" >/dev/null & holder=$!; } && exec 3>"$work/hold"
printf '.timeout 5000\nBEGIN IMMEDIATE;\n' >&3
for _ in $(seq 500); do  # the holder has the lock once a probe that does not wait is refused
  sqlite3 "$db" 'BEGIN IMMEDIATE; ROLLBACK;' 2>/dev/null || break; sleep 0.02
done
"$gibo" index --full "$db" "$coll/CP949" 2>"$work/err" & pid=$!
sleep 1 && kill -INT "$pid" && SECONDS=0
wait "$pid"; status=$?  # the wait for the lock would last 10 s
[ "$status" -eq 130 ] && [ "$SECONDS" -lt 5 ] || fail "Ctrl-C in the wait for the lock: exit $status after $SECONDS s"
exec 3>&- && wait "$holder"

# The progress line, on a terminal only.
if command -v script >/dev/null; then script -qec "'$gibo' index --full '$work/int.db' '$work/many'" /dev/null \
  >"$work/pty" </dev/null; has_text "$work/pty" "records/s, 0 errors"; fi

finish index
