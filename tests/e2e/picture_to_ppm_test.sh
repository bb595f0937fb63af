#!/bin/bash
# picture-to-ppm end to end: bitmap files written by ImageMagick (an encoder the project did not
# write) converted and compared pixel by pixel with ImageMagick's own reading, also from standard
# input, then every exit code with its message: a missing file told apart from one that is not a
# picture.
set -u
tool="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect CODE LINES ARGS...: the exit code and the number of lines on stderr; standard input is
# the file $stdin (nothing by default).
stdin=/dev/null
expect() {
    local code="$1" lines="$2"
    shift 2
    "$tool" "$@" <"$stdin" >"$work/out" 2>"$work/err"
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
    grep -q "not a picture the layer reads" "$work/err" || fail "a cut picture: $(cat "$work/err")"
    # INPUT - is standard input, a file or a pipe, read as the file itself is.
    for depth in 16 32; do
        stdin="$work/rgb24.bmp" expect 0 0 --depth "$depth" - "$work/stdin$depth.ppm"
        cmp -s "$work/stdin$depth.ppm" "$work/d$depth.ppm" || fail "--depth $depth from standard input differs from the file"
    done
    "$tool" - "$work/piped.ppm" < <(cat "$work/pal8.bmp") || fail "a picture through a pipe: exit code $?"
    "$tool" "$work/pal8.bmp" "$work/pal8.ppm"
    cmp -s "$work/piped.ppm" "$work/pal8.ppm" || fail "a picture through a pipe differs from the file"
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
# Every way a picture does not load: exit code 1 and one line saying which it is.
: >"$work/empty.bmp"
mkdir "$work/folder.bmp"
cp "$work/junk.bmp" "$work/locked.bmp" && chmod 000 "$work/locked.bmp"
# input | standard input | message
while IFS='|' read -r input from message; do
    stdin=$from expect 1 1 "$input" "$work/a.ppm"
    grep -q -- "$message" "$work/err" || fail "$input (stdin $from): message '$(cat "$work/err")' has no '$message'"
    [ ! -e "$work/a.ppm" ] || fail "$input (stdin $from): an output was written for a picture that did not load"
done <<CASES
$work/missing.bmp|/dev/null|missing.bmp: no such file
$work/no/such/dir/missing.bmp|/dev/null|no such file
$work/junk.bmp|/dev/null|junk.bmp: not a picture the layer reads
$work/tiny.bmp|/dev/null|tiny.bmp: not a picture the layer reads
$work/empty.bmp|/dev/null|empty.bmp: not a picture the layer reads
$work/folder.bmp|/dev/null|folder.bmp: is a directory
-|$work/junk.bmp|standard input: not a picture the layer reads
-|$work/empty.bmp|standard input: not a picture the layer reads
-|$work/folder.bmp|standard input: cannot be read
CASES
stdin=/dev/null
expect 1 1 "$work/junk.bmp" "$work/a.ppm"
grep -q "Unsupported Image type" "$work/err" || fail "unrecognised content does not say so"
grep -q "no such file" "$work/err" && fail "a file that is there is said to be missing"
if [ "$(id -u)" -ne 0 ]; then
    expect 1 1 "$work/locked.bmp" "$work/a.ppm"
    grep -q "locked.bmp: cannot be read: Permission denied" "$work/err" || fail "unreadable file: $(cat "$work/err")"
fi
if [ -e "$work/rgb24.bmp" ]; then
    expect 2 1 "$work/rgb24.bmp" "$work/no such directory/a.ppm"
    expect 0 0 "$work/rgb24.bmp" --depth 16 "$work/late-option.ppm"
fi

[ "$failures" -eq 0 ] && echo "picture-to-ppm: all checks passed"
exit $((failures > 0))
