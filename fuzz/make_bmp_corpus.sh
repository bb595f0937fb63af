#!/bin/bash
# Writes the seed corpus of the BMP and detection fuzz targets: small bitmaps of every variant the
# decoder reads, written by ImageMagick, a hand-made run-length stream with every command, and
# short files carrying each format's signature. Run from the top of the repository; the output
# is committed.
set -eu
bmp=fuzz/corpus/bmp_decoder_fuzzer
detect=fuzz/corpus/detection_fuzzer
mkdir -p "$bmp" "$detect"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 7x5 gradient:red-blue -swirl 60 "$work/g.png"
convert "$work/g.png" BMP3:"$bmp/rgb24"
convert "$work/g.png" BMP:"$bmp/rgb24_v5_header"
convert "$work/g.png" -colors 40 -type Palette -compress None BMP3:"$bmp/pal8"
convert "$work/g.png" -colors 40 -type Palette -compress RLE BMP3:"$bmp/rle8"
convert "$work/g.png" -colors 9 -type Palette BMP3:"$bmp/pal4"
convert "$work/g.png" -monochrome BMP3:"$bmp/mono1"
convert "$work/g.png" -define bmp:subtype=RGB565 "$bmp/rgb565"
convert "$work/g.png" -define bmp:subtype=RGB555 "$bmp/rgb555"
convert "$work/g.png" -alpha set BMP3:"$bmp/rgb32"
# 4x3 RLE8 with two colours: a run, an odd absolute run, a delta, end of line, end of bitmap.
printf 'BM\x52\0\0\0\0\0\0\0\x3e\0\0\0\x28\0\0\0\x04\0\0\0\x03\0\0\0\x01\0\x08\0\x01\0\0\0\x14\0\0\0\x13\x0b\0\0\x13\x0b\0\0\x02\0\0\0\0\0\0\0\0\0\xff\0\xff\xff\xff\0\x02\x01\0\x03\0\x01\0\xee\0\x02\x01\x01\x01\x01\0\0\0\x01' >"$bmp/rle8_commands"
cp "$bmp/rgb24" "$bmp/pal8" "$bmp/rle8_commands" "$detect/"
printf '' >"$detect/empty"
printf 'B' >"$detect/half_bitmap_signature"
printf 'BM' >"$detect/bitmap_signature_only"
printf '8BPS\0' >"$detect/psd_signature_only"
printf '\x0a\x05\x01' >"$detect/pcx_signature_only"
printf '\xff\xd8\xff\xe0\0\x10JFIF\0' >"$detect/jpeg_signature_only"
{ printf 'BM'; head -c 30 /dev/zero; printf '\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0'; } >"$detect/bitmap_with_tga_footer"
