#!/usr/bin/env bash
# The tool against hostile and careless use: links planted at every name it writes, parallel
# edits, runs stopped by signals, a full disk, endless and huge inputs, another user's files.
# Usage: tests/tool/safety_test.sh path/to/gibo path/to/source-tree
. "${BASH_SOURCE%/*}/common.sh" "$1"
src=$2
no_leftovers() {  # DIR...: no temporary of the tool or the library, no private directory
  local left
  left=$(find "$@" "$TMPDIR" -mindepth 1 \( -name '.gibo-*' -o -name 'gibo-*' \) 2>/dev/null)
  [ -z "$left" ] || fail "$1: left behind: $left"
}
"$src/examples/make-examples" "$work/samples" >/dev/null
d=$work/d && mkdir -p "$d" "$work/secret"

# --- links planted at every name the tool writes: nothing is written through them.
for n in a b c d e; do echo secret >"$work/secret/$n"; done
cp "$work/samples/audio.gib" "$d/victim.gib"
ln -s "$work/secret/a" "$d/.victim.gib.gibo-set"
ln -s "$work/secret/b" "$d/victim.lbk"
ln -s "$work/secret/c" "$d/victim.lao"
ln -s "$work/secret/d" "$d/new.gib"
ln -s "$work/secret/e" "$d/refs.txt"
run 0 set "$d/victim.gib" GAMENAME=x
run 0 split "$d/victim.gib"
mkdir -p "$work/out-dir" && ln -s "$work/secret/b" "$work/out-dir/victim.lbk"
run 0 split "$d/victim.gib" --out-dir "$work/out-dir"
run 1 join "$d/new.gib" --body "$d/victim.lbk" --type 1
run 1 add-ref "$d/refs.txt" --susun 1
for n in a b c d e; do
  [ "$(cat "$work/secret/$n")" = secret ] || fail "a planted link was followed to secret/$n"
done
[ -f "$d/victim.lbk" ] && [ ! -L "$d/victim.lbk" ] || fail "split did not replace the link"
no_leftovers "$d" "$work/out-dir"

# --- split never replaces the record, nor a side file of another record of the run, nor
# a side file when the record fails to load.
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n' >"$d/game.gib"
echo mine >"$d/game.lbk"
run 1 split "$d/game.gib"
[ "$(cat "$d/game.lbk")" = mine ] || fail "a failed split touched the existing side file"
cp "$work/samples/letters.gib" "$d/rec.lbk"
run 1 split "$d/rec.lbk" --out-dir "$d"
cmp -s "$d/rec.lbk" "$work/samples/letters.gib" || fail "split replaced the record by its body"
mkdir -p "$d/a" "$d/b" && cp "$work/samples/letters.gib" "$d/a/x.gib" && cp "$d/a/x.gib" "$d/b/x.gib"
run 1 split "$d/a/x.gib" "$d/b/x.gib" --out-dir "$work/out-dir"
grep -q "already written for another record" "$work/err" || fail "split wrote one name twice"

# --- parallel edits of one file: none is lost.
cp "$work/samples/letters.gib" "$d/p.gib"
for i in 1 2 3 4 5 6; do
  "$gibo" set "$d/p.gib" "T$i=v$i" 2>/dev/null &
  "$gibo" add-ref "$d/p.txt" --susun "$i" &
done
wait
for i in 1 2 3 4 5 6; do
  [ "$("$gibo" get "$d/p.gib" "T$i")" = "v$i" ] || fail "parallel set T$i=v$i was lost"
done
[ "$("$gibo" refs "$d/p.txt" | grep -c susun)" -eq 6 ] || fail "a parallel add-ref was lost"

# --- each writing command stopped by a signal while it works on a large record leaves the
# old file or the new one, and no temporary.
truncate -s 16M "$d/big.lao" && printf 'STO 1\r\n' >"$d/big.lbk"
run 0 join "$d/big.gib" --body "$d/big.lbk" --audio "$d/big.lao" --type 1
cp "$d/big.gib" "$d/big.orig"
stopped() {  # SIGNAL ARGS...: stops the run once it has made a temporary
  local sig=$1; shift
  "$gibo" "$@" >/dev/null 2>&1 &
  local pid=$!
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

# --- a full disk (the file-size limit): an error with the reason, the old files intact.
head -c 20000 /dev/zero | tr '\0' x >"$d/p.txt" && cp "$d/p.txt" "$d/p.orig"
for args in "show $d/big.gib" "set $d/big.gib GAMENAME=z" "split $d/big.gib --out-dir $work/out-dir" \
  "join $d/big3.gib --body $d/big.lbk --audio $d/big.lao --type 1" "add-ref $d/p.txt --susun 9"; do
  # shellcheck disable=SC2086
  (ulimit -f 8; "$gibo" $args >/dev/null 2>"$work/err"; echo $? >"$work/status")
  [ "$(cat "$work/status")" = 1 ] && grep -q "File too large" "$work/err" ||
    fail "gibo $args on a full disk: status $(cat "$work/status"), $(cat "$work/err")"
done
cmp -s "$d/big.gib" "$d/big.orig" && cmp -s "$d/p.txt" "$d/p.orig" || fail "a full disk broke a file"
[ ! -e "$d/big3.gib" ] || fail "join left a partial record"
no_leftovers "$d" "$work/out-dir"

# --- endless and huge inputs in bounded memory, refused per file, the batch going on.
mkfifo "$d/fifo.gib"
truncate -s 300M "$d/huge.gib"  # one line of 300 MiB, no header
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n' >"$d/small.gib"
truncate -s 300M "$d/small.gib"  # no audio item: 300 MiB after the body
# A sanitizer build reserves terabytes of address space and cannot start under any limit.
limit=200000
(ulimit -v $limit; "$gibo" --version >/dev/null 2>&1) || { limit=unlimited; echo "memory bounds not checked" >&2; }
for cmd in show check; do
  (ulimit -v $limit; "$gibo" $cmd /dev/zero "$d/fifo.gib" "$d" "$d/huge.gib" "$work/samples/letters.gib" \
    >"$work/out" 2>"$work/err"; echo $? >"$work/status")
  [ "$(cat "$work/status")" = 1 ] || fail "$cmd on endless inputs: status $(cat "$work/status")"
  grep -q "letters.gib" "$work/out" || fail "$cmd stopped before the sound record"
  for f in /dev/zero fifo.gib huge.gib; do
    grep -q "$f" "$work/out" "$work/err" || fail "$cmd did not name $f"
  done
  ! grep -q "unexpected" "$work/err" || fail "$cmd: $(cat "$work/err")"
done
(ulimit -v $limit; "$gibo" set "$d/small.gib" GAMENAME=x 2>"$work/err")
grep -q "not changed" "$work/err" || fail "set on a huge record: $(cat "$work/err")"
printf '\\HS\\HE\r\n\\GS\r\n' >"$d/long.gib" && truncate -s 300M "$d/long.gib" && printf '\\GE' >>"$d/long.gib"
(ulimit -v $limit; "$gibo" show "$d/long.gib" >/dev/null) || fail "show on a body line of 300 MiB"
(ulimit -v $limit; "$gibo" check "$d/long.gib" >"$work/out" 2>"$work/err")
[ "$(cat "$work/out")" = "$d/long.gib:1: warning: no TYPE item; readers take type 0
$d/long.gib:3: warning: body line is not an STO record
$d/long.gib: ok (2 warnings)" ] || fail "check on a body line of 300 MiB: $(cat "$work/out" "$work/err")"

# --- another user's record keeps its owner; read-only records and hostile values are refused.
cp "$work/samples/letters.gib" "$d/theirs.gib" && chown 65534:65534 "$d/theirs.gib"
run 0 set "$d/theirs.gib" GAMENAME=x
[ "$(stat -c %u:%g "$d/theirs.gib")" = 65534:65534 ] || fail "set made another user's record root's"
chmod 444 "$d/theirs.gib"
run 1 set "$d/theirs.gib" GAMENAME=y
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\[X=\033]0;x\007\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n' >"$d/esc.gib"
run 0 get "$d/esc.gib" X
[ "$(cat "$work/out")" = '\x1B]0;x\x07' ] || fail "get printed control characters: $(od -c "$work/out")"
"$gibo" get "$d/esc.gib" X >/dev/full 2>"$work/err" && fail "a write error on stdout went unnoticed"

# Texts that would not read back as written, and options given twice, are refused.
run 2 set "$d/esc.gib" 'A]B=x'
run 2 set "$d/esc.gib" TY=3  # the library would change TYPE: tags match by their beginning
run 2 add-ref "$d/r.txt" --susun 1 --explain 'see \[REFNUM = 99'
run 2 join "$d/x.gib" --body "$d/big.lbk" --type 1 --type 7
TMPDIR=/nonexistent run 1 add-ref "$d/big.gib" --susun 1  # the audio guard needs no scratch
cmp -s "$d/big.gib" "$d/big.orig" || fail "add-ref appended a block after the audio"
printf 'STO 1\r\n\\GE\r\nSTO 2\r\n' >"$d/ge.lbk"
run 1 join "$d/x.gib" --body "$d/ge.lbk" --type 1
{ printf 'before\r\n'; cat "$work/samples/letters.gib"; } >"$d/before.gib"
run 1 set "$d/before.gib" GAMENAME=x
grep -q "bytes before" "$work/err" || fail "set would drop the bytes before \\HS"
printf '\\HS\r\n\\[SZAUDIO=16\\]\r\n\\HE\r\n\\GS\r\nSTO 1 2 3 4 5 6 7 8\r\n\\GE\r\nabc' >"$d/ov.gib"
run 1 split "$d/ov.gib"
grep -q "overlaps the body by 13 bytes" "$work/err" || fail "split took the audio from the body"

# -r: a tree deeper than the descriptors allowed, and a directory without records.
deep=$work/deep/$(printf 'd/%.0s' $(seq 1500)) && mkdir -p "$deep" "$work/empty"
cp "$work/samples/letters.gib" "$deep/x.gib"
(ulimit -n 64; "$gibo" check -r "$work/deep" -r "$work/empty" >"$work/out" 2>"$work/err")
grep -q 'x.gib: ok$' "$work/out" && grep -q "empty: no records found" "$work/err" ||
  fail "check -r on a deep tree and an empty one: $(cat "$work/err")"

# An unprivileged user: an unreadable subdirectory is reported, the rest still shown.
if setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
  mkdir -p "$work/tree/closed" && cp "$work/samples/letters.gib" "$work/tree/a.gib"
  chmod 755 "$work" "$work/tree" && chmod 000 "$work/tree/closed" && chmod 1777 "$TMPDIR"
  setpriv --reuid=65534 --regid=65534 --clear-groups "$gibo" show -r "$work/tree" \
    >"$work/out" 2>"$work/err"
  [ $? -eq 1 ] && grep -q "closed: cannot read the directory" "$work/err" &&
    grep -q "a.gib" "$work/out" || fail "show -r and an unreadable subdirectory: $(cat "$work/err")"
  chmod 666 "$work/tree/a.gib"  # a writable record in a directory the user cannot write
  setpriv --reuid=65534 --regid=65534 --clear-groups "$gibo" set "$work/tree/a.gib" X=1 2>"$work/err"
  grep -q "cannot create a file in $work/tree/: Permission denied" "$work/err" ||
    fail "set did not blame the directory: $(cat "$work/err")"
else
  echo "skipped: no unprivileged user" >&2
fi

finish safety
