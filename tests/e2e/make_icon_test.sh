#!/bin/bash
# make-icon end to end, read back by ImageMagick: each size is an RGBA PNG of that size whose
# corners are the art's transparent key colour and whose middle is the hero, drawn opaque; then its
# exit codes.
set -u
tool="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# alpha FILE X Y: the pixel's alpha, 0..255.
alpha() { convert "$1" -format "%[fx:int(255*p{$2,$3}.a+0.5)]" info:; }

for size in 16 48 256; do
    icon="$work/icon$size.png"
    "$tool" "$size" "$icon" || fail "make-icon $size exited $?"
    [ "$(identify -format '%wx%h %[channels]' "$icon")" = "${size}x${size} srgba" ] || fail "$size: $(identify -format '%wx%h %[channels]' "$icon")"
    last=$((size - 1))
    for corner in "0 0" "$last 0" "0 $last" "$last $last"; do
        # shellcheck disable=SC2086
        [ "$(alpha "$icon" $corner)" -eq 0 ] || fail "$size: corner $corner is not transparent"
    done
    [ "$(alpha "$icon" $((size / 2)) $((size / 2)))" -eq 255 ] || fail "$size: the middle is not opaque"
    # No trace of the key colour (magenta) where the icon shows anything.
    keyed=$(convert "$icon" -fx 'a>0 && r>0.9 && b>0.9 && g<0.1' -format '%[fx:mean]' info:)
    [ "$keyed" = 0 ] || fail "$size: the key colour shows ($keyed of the pixels)"
done

"$tool" 0 "$work/x.png"; [ $? -eq 2 ] || fail "size 0 is not a bad argument"
"$tool" 16; [ $? -eq 2 ] || fail "no output is not a bad argument"
"$tool" 16 "$work/x.png" "$work/missing.bmp" 2>/dev/null; [ $? -eq 1 ] || fail "a missing art file is not exit 1"
"$tool" 16 "$work/no-such-folder/x.png" 2>/dev/null; [ $? -eq 1 ] || fail "an unwritable output is not exit 1"
exit $((failures > 0))
