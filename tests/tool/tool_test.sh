#!/usr/bin/env bash
# End-to-end tests of the gibo tool on the samples and on records made here: output, statuses, files.
# Usage: tests/tool/tool_test.sh path/to/gibo path/to/source-tree
. "${BASH_SOURCE%/*}/common.sh" "$1"
src=$2

samples=$work/samples
"$src/examples/make-examples" "$samples"
cmp -s "$samples/letters.gib" "$src/examples/letters.gib" || fail "examples/letters.gib is not what make-examples writes"

# --- show: the samples' display strings, as the library composes them; no file is left beside them.
ls -A "$samples" >"$work/before"
run 0 show "$samples"/*.gib
cmp -s "$work/before" <(ls -A "$samples") || fail "show left files beside the records"
has_line "$work/out" "  title: 白:hong(P 1段) Vs 黑:lee(9段) - 黑  6目 半胜(分先：黑贴6目半 总:24数)" \
  "  white: hong ( 职业1段 )" "  date: 2013年1月7日 下午 2:5" "  time short: 1时间 0分 (30秒 读秒 3番)" \
  "  white: kim01 ( 3段 )" "  date: 2012年12月5日 下午 2:7" "  condition: 让3子 让子棋" \
  "  moves: 总: 211数" "  game name: 棋圣" "  result: 黑棋超时胜 " "  result: 白棋超时胜 " \
  "  title: 白:kim01(3段) Vs 黑:lee02(2段) - 白棋中盘胜 (让3子 让子棋 总:211数)" "  result: 白  半目 胜" \
  "  title: 白:park(5段) Vs 黑:choi(4段) - 黑棋中盘胜 (让2子 让子棋 总:数)" \
  "  time: 限制时间 10分" "        30秒 读秒 3番" "  GAMENAME: 第1届名人战"
# The code page of header values is detected per record, and why is shown (W255 result texts).
run 0 show "$samples"/result-{korean,japanese,big5}.gib "$samples/letters.gib" "$samples/audio.gib"
has_line "$work/out" "encoding: CP949 (result text)" "  GAMERESULT: 백 불계승" "  result: 白棋中盘胜 " \
  "encoding: SHIFT_JIS (result text)" "  GAMERESULT: 黒時間勝" "encoding: BIG5 (result text)" \
  "  GAMERESULT: 白超時勝" "encoding: GBK (statistics)" "encoding: GBK (only ASCII)"
run 0 show --encoding big5 "$samples/audio.gib" "$samples/result-big5.gib"
has_line "$work/out" "encoding: BIG5 (option)" "  GAMERESULT: 白超時勝" "audio bytes: 16" "body records: 6"

# Game information from another item, or given on the command line (typed as UTF-8).
prints 0 "  black: 黑方 ( 职业1段 )" show --info 'S1,IXwhite,MX黑方,NX27' "$samples/letters.gib"
prints 0 "  format: -" show --info-item NOSUCHITEM "$samples/letters.gib"
lacks_text "$work/out" "title:"
# --- raw output is the GBK bytes of the UTF-8 output, which a C locale gets as well.
for f in letters compact references; do
  "$gibo" show --raw "$samples/$f.gib" | iconv -f GBK -t UTF-8 >"$work/raw.txt" || fail "raw output of $f is not GBK"
  "$gibo" show "$samples/$f.gib" >"$work/utf8.txt"
  cmp -s "$work/raw.txt" "$work/utf8.txt" || fail "raw and UTF-8 output of $f differ"
  LC_ALL=C "$gibo" show "$samples/$f.gib" | cmp -s - "$work/utf8.txt" || fail "the C locale does not get UTF-8"
done

# --- JSON: one object per record, UTF-8, control characters escaped.
printf '\\HS\r\n\\[TYPE=4\\]\r\n\\[GAMECOMMENT=line one\r\nsay "hi"\tok\\]\r\n%s\r\n\\HE\r\n\\GS\r\n%s\r\n\\GE\r\n' \
  '\[GAMEINFOMAIN=GTYPE:1,WID:w,BID:b,GRLT:3,TCNT:9\]' 'STO 0 1 1 3 3' >"$work/escapes.gib"
run 0 show --json "$work/escapes.gib" "$samples/letters.gib"
[ "$(wc -l <"$work/out")" -eq 2 ] || fail "show --json wrote $(wc -l <"$work/out") lines for 2 records"
has_text "$work/out" '{"tag":"GAMECOMMENT","value":"line one\r\nsay \"hi\"\tok"}' \
  '"format":"compact"' '"result":"黑棋中盘胜 "' \
  '"title":"白:hong(P 1段) Vs 黑:lee(9段) - 黑  6目 半胜(分先：黑贴6目半 总:24数)"' '"audio_bytes":0'
! command -v python3 >/dev/null || python3 -c 'import json,sys; [json.loads(l) for l in sys.stdin]' \
  <"$work/out" || fail "show --json is not JSON"

# Bytes valid in no code page are escaped with a warning; a file name not in UTF-8 stays JSON.
bad_name=$(printf '%s/bad-\xff.gib' "$work")
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\[GAMENAME=a\xffb\x81 c\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n' >"$bad_name"
run 0 show --json "$bad_name"
has_text "$work/out" "$(printf '"file":"%s/bad-\xef\xbf\xbd.gib"' "$work")" \
  '{"tag":"GAMENAME","value":"a\\xFFb\\x81 c"}'
has_text "$work/err" "warning: 2 header bytes are not valid GBK text"
prints 0 "$(printf '  GAMENAME: a\xffb\x81 c')" show --raw "$bad_name"
# Header values in another code page, in JSON as in text.
run 0 show --json "$samples/result-big5.gib"
has_text "$work/out" '"encoding":"BIG5","encoding_reason":"result text"' \
  '{"tag":"GAMERESULT","value":"白超時勝"}'
run 2 parse 'S1,IX한국'  # a typed text that GBK cannot hold is a usage error, not a "?"

# --- a broken record in a batch is reported, the others are still shown.
printf '\\HS\r\n\\[TYPE=1\\]\r\n' >"$work/no-end.gib"
printf 'no markers at all\n' >"$work/plain.gib"
run 1 show "$samples/letters.gib" "$work/no-end.gib" "$work/missing.gib" "$work/plain.gib" \
  "$samples/compact.gib"
has_text "$work/err" "no-end.gib: 0x10000005: no header between \\HS and \\HE" \
  "plain.gib: 0x10000005: no header between \\HS and \\HE" \
  "missing.gib: 0x10000001: cannot open the record for reading"
has_line "$work/out" "file: $samples/letters.gib" "file: $samples/compact.gib"
run 1 show --json "$samples/letters.gib" "$work/no-end.gib"
has_text "$work/out" "{\"file\":\"$work/no-end.gib\",\"error\":\"0x10000005: no header between \\\\HS and \\\\HE\"}"

# --- -r DIR: every *.gib below it, sorted; other files are passed over.
mkdir -p "$work/tree/a/b" && echo 'not a record' >"$work/tree/notes.txt"
cp "$samples/letters.gib" "$work/tree/a/b/one.GIB" && cp "$samples/compact.gib" "$work/tree/two.gib"
run 0 show -r "$work/tree"
[ "$(grep -c '^file: ' "$work/out")" -eq 2 ] || fail "show -r did not find exactly 2 records"
says 1 "is a directory; use -r DIR" show "$work/tree"

# --- the progress line: on a terminal only, and gone when the batch is done.
mkdir -p "$work/many" && for i in $(seq 1 12); do cp "$samples/letters.gib" "$work/many/r$i.gib"; done
run 0 show -r "$work/many"
[ ! -s "$work/err" ] || fail "progress written to a stderr that is not a terminal"
if command -v script >/dev/null; then
  script -qec "'$gibo' show -r '$work/many' >/dev/null" /dev/null >"$work/pty" </dev/null
  has_text "$work/pty" "[12/12] $work/many/r9.gib"
  [ "$(tail -c 4 "$work/pty" | od -An -tx1 | tr -d ' \n')" = 0d1b5b4b ] || fail "the progress line is not cleared"
fi

# --- set: header items change, body and audio stay byte for byte.
cp "$samples/audio.gib" "$work/set.gib"
tail_from_body() { awk 'BEGIN{RS="\\\\GS"} NR>1' ORS='\\GS' "$1"; }
tail_from_body "$work/set.gib" >"$work/tail-before"
run 0 set "$work/set.gib" GAMENAME=名人战 TYPE=9 'GAMECOMMENT=  a\b  '
tail_from_body "$work/set.gib" >"$work/tail-after"
cmp -s "$work/tail-before" "$work/tail-after" || fail "set changed the body or the audio"
prints 0 "名人战" get "$work/set.gib" GAMENAME
run 0 get --raw "$work/set.gib" GAMENAME
printf '\xc3\xfb\xc8\xcb\xd5\xbd\n' | cmp -s - "$work/out" || fail "get --raw is not the GBK bytes"
run 0 get "$work/set.gib" TYPE SZAUDIO GAMECOMMENT
has_line "$work/out" "TYPE: 9" "SZAUDIO: 16" "GAMECOMMENT: a b"
says 1 "no item NOSUCHTAG" get "$work/set.gib" NOSUCHTAG
run 1 get --json "$work/set.gib" TYPE NOSUCHTAG_EITHER
has_text "$work/out" '"items":{"TYPE":"9","NOSUCHTAG_EITHER":null}'
for a in SZAUDIO=3 TYPE=256 NOEQUALS 'GAMENAME=😀'; do run 2 set "$work/set.gib" "$a"; done
cp "$work/set.gib" "$work/set-copy"
run 1 set "$work/no-end.gib" GAMENAME=x
cmp -s "$work/set.gib" "$work/set-copy" || fail "a failed set touched another record"

# A body the library would rewrite (LF line ends) or reference blocks after it: set refuses
# and leaves the record alone, unless asked to normalise.
printf '\\HS\n\\[TYPE=1\\]\n\\HE\n\\GS\nSTO 1  \n\\GE\n' >"$work/lf.gib"
cp "$samples/references.gib" "$work/refs.gib"
for f in lf refs; do
  cp "$work/$f.gib" "$work/$f.orig"
  says 1 "not changed: rewriting would alter or drop" set "$work/$f.gib" GAMENAME=x
  cmp -s "$work/$f.gib" "$work/$f.orig" || fail "a refused set changed $f.gib"
done
run 0 set --normalize "$work/lf.gib" GAMENAME=x
printf '\\GS\r\nSTO 1\r\n\\GE\r\n' | cmp -s - <(tail -c 17 "$work/lf.gib") || fail "set --normalize kept the LF body"
ln -s set.gib "$work/set-link.gib"
run 0 set "$work/set-link.gib" GAMEPLACE=y
[ -L "$work/set-link.gib" ] || fail "set turned a link into a plain file"
prints 0 "y" get "$work/set.gib" GAMEPLACE
[ -z "$(ls -A "$work" | grep '\.gibo-')" ] || fail "set left a temporary behind"

# --- split beside the record, as LoadFile does.
cp "$samples/audio.gib" "$work/beside.gib"
prints 0 "body: $work/beside.lbk" split "$work/beside.gib"
tail -c 16 "$samples/audio.gib" | cmp -s - "$work/beside.lao" || fail "split audio differs"
[ "$(grep -c '^STO' "$work/beside.lbk")" -eq 6 ] || fail "split body has not 6 STO lines"

# --- join: a record from body and audio files that reads back the same.
printf 'STO 0 1 1 3 3\r\nSTO 0 2 2 4 4\r\n' >"$work/j.lbk"
printf '\x00\xffAUD' >"$work/j.lao"
run 0 join "$work/joined.gib" --body "$work/j.lbk" --audio "$work/j.lao" --type 7 \
  --set GAMENAME=围棋 --set 'GAMEINFOMAIN=S1,R0,IXw,LX18,MXb,NX18'
run 0 show "$work/joined.gib"
has_line "$work/out" "type: 7" "audio bytes: 5" "  GAMENAME: 围棋" \
  "  title: 白:w(1段) Vs 黑:b(1段) - (分先：黑贴6目半 总:数)"
mkdir -p "$work/j-out"
run 0 split "$work/joined.gib" --out-dir "$work/j-out"
cmp -s "$work/j.lbk" "$work/j-out/joined.lbk" && cmp -s "$work/j.lao" "$work/j-out/joined.lao" ||
  fail "join/split body or audio differs"
run 1 join "$work/j2.gib" --body "$work/j.lbk" --audio "$work/nothing.lao" --type 1
[ ! -e "$work/j2.gib" ] || fail "join wrote a record although the audio file is missing"
says 1 "nothing.lbk: cannot read the body file (No such file or directory)" \
  join "$work/j2.gib" --body "$work/nothing.lbk" --type 1
for a in '' '--type 256' '--type 1 --set SZAUDIO=4'; do run 2 join "$work/j2.gib" --body "$work/j.lbk" $a; done

says 1 "no-end.gib: 0x10000005" split "$work/no-end.gib" "$samples/letters.gib" --out-dir "$work/j-out"
[ -e "$work/j-out/letters.lbk" ] || fail "split stopped at a broken record"
run 2 split "$samples/letters.gib" --out-dir "$work/nowhere"

# --- refs and add-ref.
run 0 refs "$samples/references.gib"
has_line "$work/out" "  susun: 3" "  explanation: 定式讲解" "  game bytes: 30"
run 0 add-ref "$work/refs.txt" --susun 12 --num 4 --explain 说明 --game "$work/j.lbk"
run 0 add-ref "$work/refs.txt" --susun 65535
run 0 refs --json "$work/refs.txt"
has_text "$work/out" \
  '{"susun":12,"number":4,"explanation":"说明","game_bytes":30,"game":"STO 0 1 1 3 3\r\nSTO 0 2 2 4 4\r\n"}' \
  '{"susun":65535,"number":0,"explanation":"","game_bytes":0,"game":""}'
cp "$samples/audio.gib" "$work/with-audio.gib"
run 1 add-ref "$work/with-audio.gib" --susun 1
cmp -s "$samples/audio.gib" "$work/with-audio.gib" || fail "add-ref changed a record with audio"
says 1 "nothing.txt: cannot open the file for reading" refs "$work/nothing.txt" "$samples/references.gib"
has_line "$work/out" "  explanation: 定式讲解"
for a in '--susun 70000' '--susun 1 --explain a\]b'; do run 2 add-ref "$work/refs.txt" $a; done

# --- parse: code letters and compact headers.
run 0 parse 'S0,R3,D5,W0,Z75,IXw,LX0,MXb,NX27'
has_line "$work/out" "format: letters" "  condition: 让3子 让子棋" "  white: w ( 18级 )" \
  "  black short: b(P 1段)" "  result: 黑  7目 半胜"
run 0 parse 'GTIME:3600-60-5,WID:x,BID:y,GRLT:2'
has_line "$work/out" "format: compact" "  time short: 1时间 0分 (60秒 读秒 5番)" "  result: 和棋 "
prints 0 "  game type: 4" parse --compact 'GTYPE:4'
prints 0 "  result: 白 时间胜 " parse 'S1,W255' --set 'GAMERESULT=白 时间胜'
prints 0 "format: letters" parse 'GTYPE:4,S1'
run 2 parse --compact --letters 'GTYPE:4'
prints 0 "  black: bid ( 18级 )" parse --nation 3 'S1,IXid,AXnick,J13,K13,MXbid,BXbnick' --letters

# --- check: each problem with its line; status 1 only for errors.
run 1 check "$samples/broken.gib"
has_line "$work/out" "$samples/broken.gib:2: error: TYPE \"300\" is not a number from 0 to 255" \
  "$samples/broken.gib:4: warning: tag GAMENAME repeats the item of line 3; readers see only the first" \
  "$samples/broken.gib:5: error: item GAMEPLACE Seoul has no '='" \
  "$samples/broken.gib:7: error: item GAMECOMMENT has no closer \\]" \
  "$samples/broken.gib:13: warning: body line is not an STO record"
prints 0 "$samples/audio.gib: ok" check "$samples/letters.gib" "$samples/audio.gib" "$samples/references.gib"
while IFS='|' read -r name content expected; do
  printf "$content" >"$work/$name.gib"
  prints 1 "$work/$name.gib$expected" check "$work/$name.gib"
done <<'TABLE'
empty||: error: the file is empty
nohs|a\r\nb\r\n|: error: no header: no line holds \HS
nohe|x\r\n\\HS\r\n\\[TYPE=1\\]\r\n|:2: error: the header is not closed with \HE
nogs|\\HS\\[TYPE=1\\]\\HE\\GS\r\nSTO 1\r\n|:1: error: no body: no line after the header holds \GS
noge|\\HS\r\n\\[TYPE=1\\]\r\n\\HE\r\n\\GS\r\nSTO 1\r\n|:4: error: the body is not closed with \GE
audio|\\HS\r\n\\[TYPE=1\\]\r\n\\[SZAUDIO=9\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n1234|:3: error: SZAUDIO 9 does not fit the file: 4 bytes follow the body
negaudio|\\HS\r\n\\[TYPE=1\\]\r\n\\[SZAUDIO=-1\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n|:3: error: SZAUDIO "-1" is not a byte count
typeword|\\HS\r\n\\[TYPE=two\\]\r\n\\HE\r\n\\GS\r\n\\GE\r\n|:2: error: TYPE "two" is not a number from 0 to 255
TABLE
run 1 check -r "$samples"
[ "$(grep -c ': ok$' "$work/out")" -eq 7 ] || fail "check -r did not find the 7 sound samples"
# A GBK character whose second byte is 0x5C does not end an item (\xB5\x5C, then "]").
printf '\\HS\r\n\\[TYPE=1\\]\r\n\\[GAMENAME=\xb5\x5c]x\\]\r\n\\HE\r\n\\GS\r\nSTO 1\r\n\\GE\r\n' >"$work/gbk.gib"
run 0 check "$work/gbk.gib"
run 1 check --json "$work/noge.gib" "$samples/letters.gib"
has_text "$work/out" \
  '{"file":"'"$work/noge.gib"'","ok":false,"problems":[{"line":4,"severity":"error","message":"the body is not closed with \\GE"}' \
  '{"file":"'"$samples/letters.gib"'","ok":true,"problems":[]}'

# --- usage: status 2, --help everywhere with status 0.
for a in '' frobnicate show "show --bogus $samples/letters.gib" "show --raw --json $samples/letters.gib" \
  'show --info-item'; do run 2 $a; done
says 2 "unknown encoding LATIN1; valid: auto, GBK, CP949, BIG5, SHIFT_JIS" show --encoding LATIN1 "$samples/letters.gib"
says 0 "Commands:" --help
version=$(sed -n 's/^project(gibo VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
for flag in --version -V; do prints 0 "gibo $version" "$flag"; has_text "$work/out" "libgibo $version"; done

# --- the manual page describes exactly the subcommands and options of the help texts.
options() { grep -oE -- '(^|[][ (,|])--?[a-zA-Z][a-zA-Z-]*' | grep -oE -- '--?[a-zA-Z-]+' | sort -u; }
commands=$("$gibo" --help | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
man_text=$(sed -n '/^\.SH COMMANDS/,/^\.SH ENVIRONMENT/p' "$src/tools/gibo.1" | sed 's/\\-/-/g; s/\\f[BIR]//g')
[ "$(printf '%s\n' "$man_text" | sed -n 's/^\.B \([a-z-]*\) .*/\1/p')" = "$commands" ] ||
  fail "the subcommands of gibo.1 are not those of gibo --help"
help_options=$({ "$gibo" --help; for c in $commands; do "$gibo" "$c" --help; done; } | options)
diff <(printf '%s\n' "$man_text" | options) <(printf '%s\n' "$help_options") >"$work/man.diff" ||
  fail "gibo.1 and the help texts name different options: $(cat "$work/man.diff")"
for c in show split join get set refs add-ref parse check; do
  run 0 "$c" --help
  has_text "$work/out" "Usage: gibo $c" "Exit status: 0 all good, 1 some record failed, 2 usage error."
  says 0 "Usage: gibo $c" help "$c"
done

# --- no private directory of any command is left behind.
[ -z "$(ls -A "$TMPDIR")" ] || fail "private directories left in TMPDIR: $(ls -A "$TMPDIR")"

finish tool
