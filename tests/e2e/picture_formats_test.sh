#!/bin/bash
# picture-to-ppm on TGA, PSD, PCX, JPEG and PNG files written by ImageMagick (an encoder the
# project did not write), compared pixel by pixel with ImageMagick's own reading of the same files;
# the alpha of those with alpha (--alpha) with ImageMagick's alpha channel.
# ImageMagick writes TGA files without the version 2 footer; the test appends it, as a TGA 2.0
# writer would. It keeps a TGA's origin as metadata, so its reading is taken with -auto-orient.
# Its PSD reading lists the composite first ([0]). The loader rounds 16-bit PNG channels to the
# nearest 8-bit value, while ImageMagick's 8-bit output cuts them, so the PNG reference is rounded
# by ImageMagick first (-fx); on 8-bit channels that changes nothing.
set -u
tool=$(realpath "$1")
if ! command -v convert >/dev/null; then
    echo "ImageMagick not found: the comparison with another encoder's files is skipped" >&2
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cd "$work" || exit 1
convert -size 37x23 gradient:red-blue -swirl 90 -depth 8 g.png
convert -size 37x23 plasma:fractal -seed 5 -blur 0x1 -depth 8 p.png 2>/dev/null || convert g.png -negate p.png
# The same pictures with 16-bit channels, for the 16-bit PNG variants.
convert -size 37x23 gradient:red-blue -swirl 90 -depth 16 g16.png
convert -size 37x23 plasma:fractal -seed 5 -blur 0x1 -depth 16 p16.png 2>/dev/null || convert g16.png -negate p16.png

add_tga_footer() { printf '\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0' >>"$1"; }

# name, then how ImageMagick writes it
make() {
    local name="$1"
    shift
    convert "$@" "$name" || fail "ImageMagick could not write $name"
}
for src in g p; do
    make "$src-rle24.tga" "$src.png" -compress RLE
    make "$src-raw24-bottom.tga" "$src.png" -compress None -orient BottomLeft
    make "$src-raw24-top.tga" "$src.png" -compress None -orient TopLeft
    make "$src-raw32.tga" "$src.png" -alpha set -channel A -evaluate set 60% +channel -compress None
    make "$src-rle32.tga" "$src.png" -alpha set -channel A -evaluate set 60% +channel -compress RLE
    make "$src-grey.tga" "$src.png" -colorspace Gray -type Grayscale -compress None
    make "$src-grey-rle.tga" "$src.png" -colorspace Gray -type Grayscale -compress RLE
    make "$src-map.tga" "$src.png" -colors 60 -type Palette -compress None
    make "$src-map-rle.tga" "$src.png" -colors 60 -type Palette -compress RLE
    make "$src-rle.psd" "$src.png" -type TrueColor -depth 8
    make "$src-raw.psd" "$src.png" -type TrueColor -depth 8 -compress None
    make "$src-alpha.psd" "$src.png" -alpha set -channel A -fx 'i/w' +channel -type TrueColorAlpha -depth 8
    make "$src-24.pcx" "$src.png" -type TrueColor
    make "$src-8.pcx" "$src.png" -colors 200 -type Palette
    make "$src-baseline.jpg" "$src.png" -quality 85
    make "$src-progressive.jpg" "$src.png" -quality 70 -interlace Plane
    make "$src-grey.jpg" "$src.png" -colorspace Gray -quality 90
    make "$src-420.jpg" "$src.png" -sampling-factor 2x2 -quality 60
    # PNG: every colour type, the grey bit depths, 16-bit channels, tRNS and Adam7 interlacing.
    translucent=(-alpha set -channel A -evaluate set 60% +channel)
    make "$src-pal8.png" "$src.png" -colors 60 -define png:color-type=3 -define png:bit-depth=8
    make "$src-pal4.png" "$src.png" -colors 12 -define png:color-type=3 -define png:bit-depth=4
    corner=$(convert "$src.png" -colors 60 -format '%[pixel:p{0,0}]' info:)
    make "$src-pal-trns.png" "$src.png" -colors 60 -transparent "$corner" -define png:color-type=3
    make "$src-pal-interlaced.png" "$src.png" -colors 60 -define png:color-type=3 -interlace PNG
    for bits in 1 2 4 8; do
        make "$src-grey$bits.png" "$src.png" -colorspace Gray -depth "$bits" -define png:color-type=0 -define png:bit-depth="$bits"
    done
    make "$src-grey16.png" "${src}16.png" -colorspace Gray -define png:color-type=0 -define png:bit-depth=16
    make "$src-grey2-interlaced.png" "$src.png" -colorspace Gray -depth 2 -define png:color-type=0 -define png:bit-depth=2 -interlace PNG
    make "$src-grey-alpha.png" "$src.png" -colorspace Gray "${translucent[@]}" -define png:color-type=4
    make "$src-grey-alpha16.png" "${src}16.png" -colorspace Gray "${translucent[@]}" -define png:color-type=4 -define png:bit-depth=16
    make "$src-rgb.png" "$src.png" -define png:color-type=2
    make "$src-rgb-trns.png" "$src.png" -transparent "$corner" -define png:color-type=2
    make "$src-rgb16.png" "${src}16.png" -define png:color-type=2 -define png:bit-depth=16
    make "$src-rgb-interlaced.png" "$src.png" -define png:color-type=2 -interlace PNG
    make "$src-rgba.png" "$src.png" "${translucent[@]}" -define png:color-type=6
    make "$src-rgba16.png" "${src}16.png" "${translucent[@]}" -define png:color-type=6 -define png:bit-depth=16
    make "$src-rgba16-interlaced.png" "${src}16.png" "${translucent[@]}" -define png:color-type=6 -define png:bit-depth=16 -interlace PNG
done
for f in *.tga; do add_tga_footer "$f"; done

count=0
for f in *.tga *.psd *.pcx *.jpg ?-*.png; do
    case "$f" in
        *.tga) ref=("$f" -auto-orient) ;;
        # ImageMagick reads the composite of a PSD with alpha back in other colours than it wrote;
        # the colours it wrote are those of the source picture.
        ?-alpha.psd) ref=("${f%%-*}.png") ;;
        *.psd) ref=("$f[0]") ;;
        *.png) ref=("$f" -alpha off -fx 'floor(u*255+0.5)/255') ;;
        *) ref=("$f") ;;
    esac
    if ! convert "${ref[@]}" -alpha off -depth 8 "$f.ref.ppm" 2>/dev/null; then
        fail "ImageMagick could not read back $f"
        continue
    fi
    # Named as something else: the format comes from the content.
    cp "$f" picture.dat
    if ! "$tool" picture.dat "$f.ours.ppm" 2>"$f.err"; then
        fail "$f did not load: $(cat "$f.err")"
        continue
    fi
    cmp -s "$f.ours.ppm" "$f.ref.ppm" || fail "$f differs from ImageMagick's reading ($(compare -metric AE "$f.ours.ppm" "$f.ref.ppm" null: 2>&1) pixels)"
    count=$((count + 1))
    # Pictures with alpha: the alpha kept when asked for is ImageMagick's alpha channel (16-bit
    # alpha rounded as the colours are).
    case "$f" in
        *.png) aref=("$f" -alpha extract -fx 'floor(u*255+0.5)/255') ;;
        *.psd) aref=("$f[0]" -alpha extract) ;;
        *) aref=("${ref[@]}" -alpha extract) ;;
    esac
    if [[ "$f" == *32.tga || "$f" == *alpha* || "$f" == *rgba* || "$f" == *trns* ]]; then
        convert "${aref[@]}" -depth 8 "$f.ref.pgm" 2>/dev/null || fail "ImageMagick could not read back the alpha of $f"
        "$tool" --alpha "$f.ours.pgm" picture.dat "$f.ours2.ppm" 2>/dev/null || fail "$f did not load with its alpha"
        cmp -s "$f.ours.pgm" "$f.ref.pgm" || fail "the alpha of $f differs from ImageMagick's ($(compare -metric AE "$f.ours.pgm" "$f.ref.pgm" null: 2>&1) pixels)"
        cmp -s "$f.ours2.ppm" "$f.ours.ppm" || fail "$f loaded with its alpha shows other colours"
    fi
    # PNG writes 24-bit surfaces directly too.
    if [ "${f##*.}" = png ]; then
        "$tool" --depth 24 picture.dat "$f.ours24.ppm" 2>/dev/null || fail "$f did not load into a 24-bit surface"
        cmp -s "$f.ours24.ppm" "$f.ref.ppm" || fail "$f in a 24-bit surface differs from ImageMagick's reading"
    fi
done

# Cut files give no picture and a message, never a crash.
for f in g-rle24.tga g-rle.psd g-24.pcx g-progressive.jpg g-rgb.png g-pal-interlaced.png; do
    head -c $(($(stat -c %s "$f") * 2 / 3)) "$f" >cut.dat
    [ "${f##*.}" = tga ] && add_tga_footer cut.dat
    "$tool" cut.dat cut.ppm 2>/dev/null
    [ $? -eq 1 ] || fail "a cut copy of $f did not give exit code 1"
done

[ "$failures" -eq 0 ] && echo "picture formats: $count files match ImageMagick's reading"
exit $((failures > 0))
