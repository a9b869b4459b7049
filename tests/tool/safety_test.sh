#!/usr/bin/env bash
# The tool against hostile and careless use: links planted at every name it writes, parallel
# edits, runs stopped by signals, a full disk, endless and huge inputs, another user's files.
# Usage: tests/tool/safety_test.sh path/to/gibo path/to/source-tree
. "${BASH_SOURCE%/*}/common.sh" "$1"
src=$2
no_leftovers() {  # DIR...: no temporary of the tool or the library, no private directory
  local left; left=$(find "$@" "$TMPDIR" -mindepth 1 \( -name '.gibo-*' -o -name 'gibo-*' \) 2>/dev/null)
  [ -z "$left" ] || fail "$1: left behind: $left"
}
"$src/examples/make-examples" "$work/samples" >/dev/null
d=$work/d && mkdir -p "$d" "$work/secret"

# --- links planted at every name the tool writes: nothing is written through them.
cp "$work/samples/audio.gib" "$d/victim.gib"
for l in a:.victim.gib.gibo-set b:victim.lbk c:victim.lao d:new.gib e:refs.txt; do
  echo secret >"$work/secret/${l%%:*}" && ln -s "$work/secret/${l%%:*}" "$d/${l#*:}"
done
run 0 set "$d/victim.gib" GAMENAME=x
run 0 split "$d/victim.gib"
mkdir -p "$work/out-dir" && ln -s "$work/secret/b" "$work/out-dir/victim.lbk"
run 0 split "$d/victim.gib" --out-dir "$work/out-dir"
run 1 join "$d/new.gib" --body "$d/victim.lbk" --type 1
run 1 add-ref "$d/refs.txt" --susun 1
printf 'secret\n%.0s' a b c d e | cmp -s - <(cat "$work/secret"/*) || fail "a planted link was followed into secret/"
[ -f "$d/victim.lbk" ] && [ ! -L "$d/victim.lbk" ] || fail "split did not replace the link"
no_leftovers "$d" "$work/out-dir"

# --- split replaces neither the record, nor a side file of a failed record or of another one.
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n' >"$d/game.gib"
echo mine >"$d/game.lbk"
run 1 split "$d/game.gib"
[ "$(cat "$d/game.lbk")" = mine ] || fail "a failed split touched the existing side file"
cp "$work/samples/letters.gib" "$d/rec.lbk"
run 1 split "$d/rec.lbk" --out-dir "$d"
cmp -s "$d/rec.lbk" "$work/samples/letters.gib" || fail "split replaced the record by its body"
mkdir -p "$d/a" "$d/b" && cp "$work/samples/letters.gib" "$d/a/x.gib" && cp "$d/a/x.gib" "$d/b/x.gib"
says 1 "already written for another record" split "$d/a/x.gib" "$d/b/x.gib" --out-dir "$work/out-dir"

# --- parallel edits of one file: none is lost.
cp "$work/samples/letters.gib" "$d/p.gib"
for i in 1 2 3 4 5 6; do "$gibo" set "$d/p.gib" "T$i=v$i" 2>/dev/null & "$gibo" add-ref "$d/p.txt" --susun "$i" & done
wait
for i in 1 2 3 4 5 6; do prints 0 "v$i" get "$d/p.gib" "T$i"; done  # no parallel set was lost
[ "$("$gibo" refs "$d/p.txt" | grep -c susun)" -eq 6 ] || fail "a parallel add-ref was lost"

# --- a writing command stopped by a signal midway leaves the old file or the new, no temporary.
truncate -s 16M "$d/big.lao" && printf 'STO 1\r\n' >"$d/big.lbk"
run 0 join "$d/big.gib" --body "$d/big.lbk" --audio "$d/big.lao" --type 1
cp "$d/big.gib" "$d/big.orig"
stopped() {  # SIGNAL ARGS...: stops the run once it has made a temporary
  local sig=$1 pid; shift
  "$gibo" "$@" >/dev/null 2>&1 & pid=$!
  while kill -0 "$pid" 2>/dev/null &&
    [ -z "$(find "$d" "$TMPDIR" -name '.gibo-*' -o -name 'gibo-*' | head -1)" ]; do :; done
  kill "-$sig" "$pid" 2>/dev/null
  { wait "$pid"; } 2>/dev/null
  no_leftovers "$d"
}
stopped INT set "$d/big.gib" GAMENAME=y
stopped TERM split "$d/big.gib"
stopped HUP join "$d/big2.gib" --body "$d/big.lbk" --audio "$d/big.lao" --type 1
stopped PIPE add-ref "$d/big.lbk" --susun 1
cmp -s <(tail -c 1000 "$d/big.gib") <(tail -c 1000 "$d/big.orig") || fail "a stopped set broke the record"
cp "$d/big.gib" "$d/big.orig"  # the stopped set may have finished: the new file is the baseline

# --- a full disk (the file-size limit): an error with the reason, the old files intact.
head -c 20000 /dev/zero | tr '\0' x >"$d/p.txt" && cp "$d/p.txt" "$d/p.orig"
for args in "set $d/big.gib GAMENAME=z" "split $d/big.gib --out-dir $work/out-dir" \
  "join $d/big3.gib --body $d/big.lbk --audio $d/big.lao --type 1" "add-ref $d/p.txt --susun 9"; do
  # shellcheck disable=SC2086
  run_cmd 1 limited "-f 8" "$gibo" $args; has_text "$work/err" "File too large"
done
cmp -s "$d/big.gib" "$d/big.orig" && cmp -s "$d/p.txt" "$d/p.orig" || fail "a full disk broke a file"
[ ! -e "$d/big3.gib" ] || fail "join left a partial record"
run_cmd 0 limited "-f 8" "$gibo" show "$d/big.gib"  # reading writes nothing, copies no audio
has_text "$work/out" "audio bytes: 16777216"
no_leftovers "$d" "$work/out-dir"

# --- endless and huge inputs in bounded memory, refused per file, the batch going on.
mkfifo "$d/fifo.gib"
truncate -s 300M "$d/huge.gib"  # one line of 300 MiB, no header
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n' >"$d/small.gib" && truncate -s 300M "$d/small.gib"  # no audio item
# A sanitizer build reserves terabytes of address space and cannot start under any limit.
limit=200000
limited "-v $limit" "$gibo" --version >/dev/null 2>&1 || { limit=unlimited; echo "memory bounds not checked" >&2; }
for cmd in show check; do
  run_cmd 1 limited "-v $limit" "$gibo" $cmd /dev/zero "$d/fifo.gib" "$d" "$d/huge.gib" "$work/samples/letters.gib"
  has_text "$work/out" letters.gib  # the batch went on to the sound record
  said /dev/zero fifo.gib huge.gib
  lacks_text "$work/err" unexpected
done
run_cmd 1 limited "-v $limit" "$gibo" set "$d/small.gib" GAMENAME=x; has_text "$work/err" "not changed"
printf '\\HS\\HE\r\n\\GS\r\n' >"$d/long.gib" && truncate -s 300M "$d/long.gib" && printf '\\GE' >>"$d/long.gib"
run_cmd 0 limited "-v $limit" "$gibo" show "$d/long.gib"
run_cmd 0 limited "-v $limit" "$gibo" check "$d/long.gib"
printf '%s\n' "$d/long.gib:1: warning: no TYPE item; readers take type 0" "$d/long.gib:3: warning: body line is not an STO record" \
  "$d/long.gib: ok (2 warnings)" | cmp -s - "$work/out" || fail "check on a body line of 300 MiB: $(cat "$work/out")"

# --- another user's record keeps its owner; read-only records and hostile values are refused.
cp "$work/samples/letters.gib" "$d/theirs.gib" && chown 65534:65534 "$d/theirs.gib"
run 0 set "$d/theirs.gib" GAMENAME=x
[ "$(stat -c %u:%g "$d/theirs.gib")" = 65534:65534 ] || fail "set made another user's record root's"
chmod 444 "$d/theirs.gib" && run 1 set "$d/theirs.gib" GAMENAME=y
"$gibo" get "$work/samples/letters.gib" TYPE >/dev/full 2>"$work/err" &&
  fail "a write error on stdout went unnoticed"
TMPDIR=/nonexistent run 1 add-ref "$d/big.gib" --susun 1  # the audio guard needs no scratch
cmp -s "$d/big.gib" "$d/big.orig" || fail "add-ref appended a block after the audio"

# --- set changes no item the user did not name: a TYPE that saving would turn into another
# number is refused, unless TYPE itself is set.
rec=$d/$'\xb6\xd4\xbe\xd6'.gib  # 对局 in GBK
for t in 999 -1; do
  printf '\\HS\r\n\\[TYPE = %s\\]\r\n\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n' "$t" >"$rec" && cp "$rec" "$d/type.orig"
  says 1 "not changed: TYPE \"$t\" is not a number from 0 to 255" set "$rec" GAMENAME=x
  cmp -s "$rec" "$d/type.orig" || fail "set rewrote TYPE $t"
done
run 0 set "$rec" GAMENAME=x TYPE=3 && prints 0 3 get "$rec" TYPE

# --- a set that finds the record locked by another run says that it waits, and for what.
cp "$work/samples/letters.gib" "$d/locked.gib"
exec 9<"$d/locked.gib" && flock 9
"$gibo" set "$d/locked.gib" GAMENAME=w 2>"$work/wait.err" & pid=$!
for _ in $(seq 600); do  # gives up after a minute, when nothing is said
  grep -q waiting "$work/wait.err" || ! kill -0 "$pid" 2>/dev/null && break; sleep 0.1
done
flock -u 9 && exec 9<&-
wait "$pid" || fail "set failed after waiting for the lock: $(cat "$work/wait.err")"
has_line "$work/wait.err" "gibo set: $d/locked.gib: waiting: another run is changing this record and holds its lock"

# --- a run removes the work directories that killed runs of its own user left, and no other.
cp "$work/samples/audio.gib" "$d/staged.gib"
true & dead=$! && wait "$dead"
host=$(uname -n)
mkdir -p "$TMPDIR/gibo-$host-$dead-a/x" "$TMPDIR/gibo-$host-$$-b" "$TMPDIR/gibo-$host-$dead-c" "$d/.gibo-$host-$dead-d"
chown 65534 "$TMPDIR/gibo-$host-$dead-c"
mkdir -p "$work/sweep" && run 0 split "$d/staged.gib" --out-dir "$work/sweep"  # show makes none
run 0 set "$d/staged.gib" GAMENAME=t
[ ! -e "$TMPDIR/gibo-$host-$dead-a" ] && [ ! -e "$d/.gibo-$host-$dead-d" ] || fail "a dead run's work directory stayed"
[ -d "$TMPDIR/gibo-$host-$$-b" ] && [ -d "$TMPDIR/gibo-$host-$dead-c" ] || fail "a live run's or another user's work directory went"
rm -rf "$TMPDIR"/gibo-*

# -r: a tree deeper than the descriptors allowed, and a directory without records.
deep=$work/deep$(printf '/d%.0s' $(seq 1500)) && mkdir -p "$deep" "$work/empty"
cp "$work/samples/letters.gib" "$deep/x.gib"
run_cmd 1 limited "-n 64" "$gibo" check -r "$work/deep" -r "$work/empty"
has_line "$work/out" "$deep/x.gib: ok"; has_text "$work/err" "empty: no records found"

# An unprivileged user: an unreadable subdirectory is reported, the rest still shown.
nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
if nobody true 2>/dev/null; then
  mkdir -p "$work/tree/closed" && cp "$work/samples/letters.gib" "$work/tree/a.gib"
  chmod 755 "$work" "$work/tree" && chmod 000 "$work/tree/closed" && chmod 1777 "$TMPDIR"
  run_cmd 1 nobody "$gibo" show -r "$work/tree"
  has_text "$work/err" "closed: cannot read the directory"; has_text "$work/out" "a.gib"
  chmod 666 "$work/tree/a.gib"  # a writable record in a directory the user cannot write
  for cmd in "set $work/tree/a.gib X=1" "split $work/tree/a.gib"; do  # split: at its side file
    # shellcheck disable=SC2086
    run_cmd 1 nobody "$gibo" $cmd; has_text "$work/err" "cannot create a file in $work/tree/: Permission denied"
  done
else
  echo "skipped: no unprivileged user" >&2
fi

finish safety
