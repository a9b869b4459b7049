#!/usr/bin/env bash
# The writing commands against another user who swaps the names they work on between their
# check and their write, and the one rule for what an edit may touch. Runs as root, the other
# side as nobody; the tool is the test build, whose GIBO_TEST_HOOK="stage:command" runs the
# other user's step at that point ("checked": after the tool's own checks; "save": when the
# library's save starts; "rename": just before a replacement's rename).
# Usage: tests/tool/race_test.sh path/to/gibo-with-test-seam path/to/source-tree
. "${BASH_SOURCE%/*}/common.sh" "$1"
src=$2
nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
"$src/examples/make-examples" "$work/samples" >/dev/null

# --- set stages its copies of the body and audio beside the record, on the record's own file
# system: while it saves, its work directory is there and none is in TMPDIR.
mkdir "$work/rec" && cp "$work/samples/audio.gib" "$work/rec/staged.gib"
GIBO_TEST_HOOK="save:ls -a '$work/rec' '$TMPDIR' >>'$work/staged'" run 0 set "$work/rec/staged.gib" GAMENAME=s
grep -q '^\.gibo-' "$work/staged" && ! grep -q '^gibo-' "$work/staged" ||
  fail "set did not stage beside the record: $(cat "$work/staged")"

# --- set and add-ref hold the record's lock until its replacement is in place.
cp "$work/samples/letters.gib" "$work/rec/locked.gib" && echo refs >"$work/rec/refs.txt"
for edit in "locked.gib|set|GAMENAME=l" "refs.txt|add-ref|--susun 1"; do
  IFS='|' read -r f cmd args <<<"$edit" && f=$work/rec/$f
  # shellcheck disable=SC2086
  GIBO_TEST_HOOK="rename:flock -n $f true && echo free >>$f.locks || echo held >>$f.locks" run 0 "$cmd" "$f" $args
  grep -q held "$f.locks" && ! grep -q free "$f.locks" || fail "$cmd: the lock went before the rename"
done

if [ "$(id -u)" -ne 0 ] || ! nobody "$gibo" --version >/dev/null 2>&1; then
  echo "skipped: the race tests need root, and the user nobody able to run $gibo" >&2
  finish races
fi
secret=$work/secret && mkdir -m 755 "$secret"
u=$work/u

# --- a swap of the name at each point of each command: refused, nothing outside u/ touched,
# what the other user put at the name left as it was.
races=(
  "save|r.gib|set r.gib GAMENAME=x"
  "rename|r.gib|set r.gib GAMENAME=x"
  "save|new.gib|join new.gib --body body.lbk --type 1"
  "rename|new.gib|join new.gib --body body.lbk --type 1"
  "checked|refs.txt|add-ref refs.txt --susun 1"
  "rename|refs.txt|add-ref refs.txt --susun 1"
  "rename|r.lbk|split r.gib"
)
for race in "${races[@]}"; do
  IFS='|' read -r stage name args <<<"$race"
  rm -rf "$u" && mkdir -m 755 "$u"
  cp "$work/samples/letters.gib" "$u/r.gib" && printf 'STO 1\r\n' >"$u/body.lbk"
  echo "refs" >"$u/refs.txt" && echo "body" >"$u/r.lbk"
  chown -R 65534:65534 "$u"
  printf 'ROOT ONLY\n' >"$secret/file" && chmod 600 "$secret/file"
  swap="cd '$u' && rm -f '$name' && ln -s '$secret/file' '$name'"
  # shellcheck disable=SC2086
  (cd "$u" && GIBO_TEST_HOOK="$stage:setpriv --reuid=65534 --regid=65534 --clear-groups sh -c \"$swap\"" \
    run_cmd 1 "$gibo" $args)
  # After its checks the tool opens no link: the swap is found there, or at the replacement.
  want="not changed: another program put something else at its name"
  [ "$stage" != checked ] || want="is a symbolic link; name the file it points to"
  grep -qF "$want" "$work/err" || fail "$stage, $args: $(cat "$work/err")"
  [ "$(cat "$secret/file")" = "ROOT ONLY" ] && [ "$(stat -c %a:%u "$secret/file")" = 600:0 ] ||
    fail "$stage, $args: the root-only file was written or changed"
  [ "$(readlink "$u/$name")" = "$secret/file" ] || fail "$stage, $args: the other user's link was replaced"
  [ -z "$(find "$u" -name '.gibo-*')" ] || fail "$stage, $args: a temporary was left"
done

# --- one rule for every writing command: a read-only file, and root's file in a directory
# that anyone may write into, are refused with the same words and stay as they were.
shared=$work/shared && mkdir -m 777 "$shared" && chmod 755 "$work"
edits=(
  "set target.gib GAMENAME=x|target.gib"
  "add-ref target.txt --susun 1|target.txt"
  "join target.gib --body body.lbk --type 1|target.gib"
  "split r.gib|r.lbk"
)
for edit in "${edits[@]}"; do
  IFS='|' read -r args target <<<"$edit"
  for owner in 65534:444 0:644; do
    rm -rf "${shared:?}"/* && cp "$work/samples/letters.gib" "$shared/r.gib"
    printf 'STO 1\r\n' >"$shared/body.lbk" && chown 65534:65534 "$shared/r.gib" "$shared/body.lbk"
    cp "$work/samples/letters.gib" "$shared/$target" && cp "$shared/$target" "$work/before"
    chown "${owner%:*}:${owner%:*}" "$shared/$target" && chmod "${owner#*:}" "$shared/$target"
    # shellcheck disable=SC2086
    (cd "$shared" && run_cmd 1 nobody "$gibo" $args)
    if [ "$owner" = 65534:444 ]; then
      has_text "$work/err" "$target: not changed: the file is read-only; make it writable to change it"
    else
      has_text "$work/err" "$target: not changed: the file is not writable: Permission denied"
    fi
    cmp -s "$shared/$target" "$work/before" && [ "$(stat -c %u:%a "$shared/$target")" = "$owner" ] ||
      fail "$args: the ${owner#*:} file of user ${owner%:*} was changed"
  done
done

# --- add-ref keeps the mode of the file it replaces, never a wider one.
printf 'ROOT ONLY\n' >"$secret/refs.txt" && chmod 600 "$secret/refs.txt"
run 0 add-ref "$secret/refs.txt" --susun 1
[ "$(stat -c %a "$secret/refs.txt")" = 600 ] || fail "add-ref widened the mode of a 0600 file"

finish races
