#!/bin/bash
# picture-to-ppm end to end: bitmap files written by ImageMagick (an encoder the project did not
# write) converted and compared pixel by pixel with ImageMagick's own reading, then every exit
# code with its message.
set -u
tool="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect CODE LINES ARGS...: the exit code and the number of lines on stderr.
expect() {
    local code="$1" lines="$2"
    shift 2
    "$tool" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$code" ] || fail "picture-to-ppm $* exited $got, expected $code"
    local n
    n=$(wc -l <"$work/err")
    [ "$n" -eq "$lines" ] || fail "picture-to-ppm $* wrote $n lines on stderr, expected $lines: $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "picture-to-ppm $* wrote on stdout"
}

if command -v convert >/dev/null; then
    convert -size 37x23 gradient:red-blue -swirl 90 "$work/g.png"
    convert "$work/g.png" BMP3:"$work/rgb24.bmp"
    convert "$work/g.png" BMP:"$work/rgb24-v5-header.bmp"
    convert "$work/g.png" -colors 200 -type Palette -compress None BMP3:"$work/pal8.bmp"
    convert "$work/g.png" -colors 200 -type Palette -compress RLE BMP3:"$work/rle8.bmp"
    convert "$work/g.png" -colors 14 -type Palette BMP3:"$work/pal4.bmp"
    convert "$work/g.png" -monochrome BMP3:"$work/mono1.bmp"
    convert "$work/g.png" -define bmp:subtype=RGB565 "$work/rgb565.bmp"
    convert "$work/g.png" -define bmp:subtype=RGB555 "$work/rgb555.bmp"
    convert "$work/g.png" -alpha set -channel A -evaluate set 50% +channel BMP3:"$work/rgb32.bmp"
    convert "$work/g.png" -alpha set -channel A -evaluate set 50% +channel "$work/argb32-v5-header.bmp"
    for bmp in "$work"/*.bmp; do
        name=$(basename "$bmp")
        # Named as something else: the format comes from the content.
        cp "$bmp" "$work/picture.dat"
        expect 0 0 "$work/picture.dat" "$work/ours.ppm"
        convert "$bmp" -alpha off -depth 8 "$work/ref.ppm"
        cmp -s "$work/ours.ppm" "$work/ref.ppm" || fail "$name differs from ImageMagick's reading"
    done
    # Other depths: same size, 8-bit colour read back, and 24 bits exactly as 32.
    for depth in 8 15 16 24; do
        expect 0 0 --depth "$depth" "$work/rgb24.bmp" "$work/d$depth.ppm"
        [ "$(head -c 13 "$work/d$depth.ppm" | od -An -c | tr -s ' ')" = " P 6 \n 3 7 2 3 \n 2 5 5 \n" ] || fail "--depth $depth header"
        [ "$(stat -c %s "$work/d$depth.ppm")" -eq $((13 + 37 * 23 * 3)) ] || fail "--depth $depth size"
    done
    expect 0 0 "$work/rgb24.bmp" "$work/d32.ppm"
    cmp -s "$work/d24.ppm" "$work/d32.ppm" || fail "24 and 32 bits differ"
    cmp -s "$work/d16.ppm" "$work/d32.ppm" && fail "16 bits kept every colour of a gradient"
    head -c 2000 "$work/rgb24.bmp" >"$work/cut.bmp"
    expect 1 1 "$work/cut.bmp" "$work/x.ppm"
else
    echo "ImageMagick not found: the comparison with another encoder's files is skipped" >&2
fi

printf 'BM' >"$work/tiny.bmp"
printf 'not a picture at all' >"$work/junk.bmp"
expect 2 1
expect 2 1 "$work/junk.bmp"
expect 2 1 "$work/junk.bmp" "$work/a.ppm" "$work/b.ppm"
expect 2 1 --depth 12 "$work/junk.bmp" "$work/a.ppm"
expect 2 1 --depth "$work/junk.bmp" "$work/a.ppm"
expect 2 1 "$work/junk.bmp" "$work/a.ppm" --depth
expect 2 1 --colour "$work/junk.bmp" "$work/a.ppm"
expect 1 1 "$work/missing.bmp" "$work/a.ppm"
expect 1 1 "$work/junk.bmp" "$work/a.ppm"
grep -q "Unsupported Image type" "$work/err" || fail "unrecognised content does not say so"
expect 1 1 "$work/tiny.bmp" "$work/a.ppm"
[ ! -e "$work/a.ppm" ] || fail "an output was written for a picture that did not load"
if [ -e "$work/rgb24.bmp" ]; then
    expect 2 1 "$work/rgb24.bmp" "$work/no such directory/a.ppm"
    expect 0 0 "$work/rgb24.bmp" --depth 16 "$work/late-option.ppm"
fi

[ "$failures" -eq 0 ] && echo "picture-to-ppm: all checks passed"
exit $((failures > 0))
