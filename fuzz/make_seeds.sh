#!/usr/bin/env bash
# Writes the seed corpora of the fuzz targets into OUT/<target>/: progress
# files and names for the INI engine, durations and labels for the text
# operations, small MPEG streams for the reader. Texts are GBK, as the program
# keeps them.
set -euo pipefail

out=${1:?usage: make_seeds.sh OUT}
rm -rf "$out"
mkdir -p "$out/ini_text_fuzz" "$out/text_fuzz" "$out/mpeg_reader_fuzz"

gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
nul() { printf '\0'; }
# A signed 32-bit integer as four little-endian bytes.
le32() {
  local v=$(($1 & 0xFFFFFFFF))
  printf "\\x$(printf %02x $((v & 255)))\\x$(printf %02x $((v >> 8 & 255)))"
  printf "\\x$(printf %02x $((v >> 16 & 255)))\\x$(printf %02x $((v >> 24 & 255)))"
}

# ---- INI engine: section, key, value, other value, probe section, probe key, file.
ini_seed() {
  local name=$1 section=$2 key=$3 value=$4 other=$5 file=$6
  { gbk "$section"; nul; gbk "$key"; nul; gbk "$value"; nul; gbk "$other"; nul
    gbk "Aggregate"; nul; gbk "Stage two"; nul; printf '%b' "$file" | iconv -f UTF-8 -t GBK
  } >"$out/ini_text_fuzz/$name"
}
saved='[Today]\r\nCurrent date=2013年6月5日\r\nStage one=1小时05分09秒\r\nStage two=0小时00分00秒\r\nStage three=0小时00分00秒\r\n[Aggregate]\r\nStage one=12小时30分00秒\r\nStage two=0小时00分00秒\r\nStage three=0小时00分00秒\r\n'
ini_seed saved_date Today 'Current date' '2013年6月6日' '2013年6月5日' "$saved"
ini_seed saved_stage Aggregate 'Stage one' '12小时30分01秒' '0小时00分00秒' "$saved"
ini_seed lf_lines Today 'Stage two' '0小时00分01秒' '' '[Today]\nStage one=1小时05分09秒\nStage two=2小时00分00秒\n'
ini_seed new_file Today 'Stage three' '0小时00分00秒' '1小时00分00秒' ''
ini_seed new_section Aggregate 'Stage one' '1小时00分00秒' '' '[Today]\r\nStage one=1小时'
ini_seed other_case today 'STAGE ONE' '3小时00分00秒' '4小时00分00秒' "$saved"
ini_seed blank_names ' Today ' ' Stage one' '5小时00分00秒' '' "$saved"
ini_seed blanks_around Today 'Stage one' ' 2小时 ' '' '[ Today ]\r\n  Stage one =  1小时05分09秒  \r\n\r\n; a comment\r\n'
ini_seed doubled_cr Today 'Current date' '2013年6月6日' '2013年6月5日' '[Today]\r\r\nCurrent date=2013年6月5日\r\r\nStage one=1小时\r'
ini_seed duplicates Today 'Stage one' '9小时' '' '[Today]\nStage one=1\nStage one=2\n[Today]\nStage two=3\n'
ini_seed bracket_key Today '[Stage' 'x' 'y' "$saved"
ini_seed equals_value Today 'Stage one' 'a=b;c' '[d]' "$saved"
# A GBK character whose trail byte is ']' (0x5D), in a section name.
{ printf 'A\x81\x5dB'; nul; printf 'Stage one'; nul; printf 'v'; nul; nul; nul; nul
  printf '[A\x81\x5dB]\r\nStage one=old\r\n[Today]\r\nStage one=1\r\n'
} >"$out/ini_text_fuzz/trail_bracket"

# ---- Text operations: hours, minutes, seconds, start, count, flags, text, sought, replacement.
text_seed() {
  local name=$1 h=$2 m=$3 s=$4 start=$5 count=$6 flags=$7 text=$8 sought=$9 replacement=${10}
  { le32 "$h"; le32 "$m"; le32 "$s"; le32 "$start"; le32 "$count"; printf "\\x$flags"
    gbk "$text"; nul; gbk "$sought"; nul; gbk "$replacement"
  } >"$out/text_fuzz/$name"
}
text_seed plain 1 5 9 0 6 00 '1小时05分09秒' '分' '秒'
text_seed large 123 59 59 1 3 01 '123小时59分59秒' '小时' '分'
text_seed negative -2147483648 -5 7 2 -1 00 '0小时-5分07秒' '-' '+'
text_seed hours_marker 2147483647 0 0 0 8 00 '【12小时' '【' '小时'
text_seed full_width 1 5 9 0 20 01 '１小时０５分０９秒' '分' '秒'
text_seed spaces 2 3 4 0 100 00 ' 2小时 3分 4秒' '小时' '分'
text_seed quote_marker 0 0 0 0 4 00 'a"b"c' '#引号' '#引号#引号'
text_seed letters 0 10 0 3 2 01 'Stage One stage one' 'STAGE' 'stage'
text_seed wrap 0 0 0 0 0 00 '4294967296' '2147483648' '　8'
{ le32 1; le32 2; le32 3; le32 0; le32 1; printf '\x00'; printf 'ab\x81\x41'; nul; printf '\x41'; nul; printf 'c\x81'
} >"$out/text_fuzz/trail_letter"

# ---- MPEG reader: mode, good reads, short period, short bytes, stop read, then the file.
# A frame: its four header bytes (hex) and its length, the rest zeros.
frame() {
  local header=$1 length=$2
  printf "\\x${header:0:2}\\x${header:2:2}\\x${header:4:2}\\x${header:6:2}"
  head -c $((length - 4)) /dev/zero
}
frames() { local n=$1 header=$2 length=$3; for ((i = 0; i < n; i++)); do frame "$header" "$length"; done; }
id3v2() { printf 'ID3\x03\x00\x00\x00\x00\x00\x14'; head -c 20 /dev/zero; }
id3v1() { printf 'TAG'; head -c 125 /dev/zero; }
hex() { printf "\\x$(printf %02x "$1")"; }
memory() { printf '\x00\x00\x00\x00\x00'; }
failing() { printf '\x01'; hex "$1"; printf '\x00\x00\x00'; }
short_reads() { printf '\x02\x00'; hex "$1"; hex "$2"; printf '\x00'; }
# Every read short (255 bytes), so each frame needs a read; the stop comes
# during the given read.
stopping() { printf '\x06\x00\x00\xff'; hex "$1"; }

mpeg=$out/mpeg_reader_fuzz
# MPEG-1 Layer III 128 kbit/s 44.1 kHz joint stereo: 417 bytes, 418 padded.
{ memory; frames 3 FFFB9044 417; frame FFFB9244 418; } >"$mpeg/mpeg1_layer3"
# MPEG-2 Layer III 64 kbit/s 22.05 kHz mono: 208 bytes.
{ memory; id3v2; frames 4 FFF380C4 208; id3v1; } >"$mpeg/mpeg2_tags"
# MPEG-1 Layer II 192 kbit/s 48 kHz, with CRC: 576 bytes.
{ memory; printf 'RIFF junk \xff\xfb'; frames 3 FFFCA404 576; } >"$mpeg/layer2_after_junk"
# MPEG-2.5 Layer III 8 kbit/s 8 kHz: 72 bytes; the last frame cut short.
{ memory; frames 5 FFE31804 72; frame FFE31804 40; } >"$mpeg/mpeg25_cut"
{ memory; frames 2 FFFB9044 417; frames 2 FFF380C4 208; frames 2 FFFB9044 417; } >"$mpeg/format_change"
# An ID3v2 tag claiming more than the file holds.
{ memory; printf 'ID3\x04\x00\x10\x7f\x7f\x7f\x7f'; frames 3 FFF380C4 208; } >"$mpeg/tag_too_long"
{ failing 2; frames 4 FFFB9044 417; } >"$mpeg/fails_early"
{ failing 5; id3v2; printf 'junk'; frames 4 FFF380C4 208; id3v1; } >"$mpeg/fails_in_search"
{ short_reads 2 16; id3v2; frames 4 FFF380C4 208; id3v1; } >"$mpeg/short_reads"
# Every read short (8 bytes), the fourth fails: the first frame is confirmed
# by reading ahead, then reading it again fails.
{ printf '\x03\x03\x00\x08\x00'; frames 2 FFE31804 72; } >"$mpeg/fails_after_search"
{ stopping 4; frames 4 FFF380C4 208; } >"$mpeg/stop_while_playing"
{ stopping 2; printf 'RIFF'; head -c 9000 /dev/zero; frames 2 FFF380C4 208; } >"$mpeg/stop_while_searching"
# A real encoder's stream, with its Info frame and both tags.
sox -D -n -r 8000 -c 1 -b 16 "$out/tone.wav" synth 0.4 sine 440
lame --quiet -b 8 --tt seed --add-id3v2 "$out/tone.wav" "$out/encoded.mp3"
{ memory; cat "$out/encoded.mp3"; } >"$mpeg/lame_encoded"
{ short_reads 3 100; cat "$out/encoded.mp3"; } >"$mpeg/lame_short_reads"
rm "$out/tone.wav" "$out/encoded.mp3"
