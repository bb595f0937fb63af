#include "tools/make_assets/bmp_writer.h"

#include "tools/make_assets/byte_sink.h"

namespace assets {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;

// Length of the run of equal indexes starting at x, at most 255 (one RLE8 count byte).
int RunLength(const uint8_t* row, int x, int width) {
  int n = 1;
  while (x + n < width && n < 255 && row[x + n] == row[x]) ++n;
  return n;
}

void PutHeaders(ByteSink& out, int width, int height, uint16_t bitCount, uint32_t compression,
                uint32_t paletteCount, uint32_t imageBytes) {
  const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * paletteCount;
  out.Bytes("BM");
  out.U32(dataOffset + imageBytes);  // file size
  out.U16(0);
  out.U16(0);
  out.U32(dataOffset);
  out.U32(kInfoHeaderSize);
  out.U32(static_cast<uint32_t>(width));
  out.U32(static_cast<uint32_t>(height));  // positive: rows stored bottom up
  out.U16(1);                              // planes
  out.U16(bitCount);
  out.U32(compression);
  out.U32(imageBytes);
  out.U32(2835);  // 72 dpi, in pixels per metre
  out.U32(2835);
  out.U32(paletteCount);  // colours used
  out.U32(0);             // all colours important
}

}  // namespace

std::vector<uint8_t> EncodeRle8Row(const uint8_t* row, int width) {
  std::vector<uint8_t> out;
  int x = 0;
  while (x < width) {
    const int run = RunLength(row, x, width);
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // Gather single pixels until the next run of two or more begins.
    int end = x;
    while (end < width && end - x < 255 && RunLength(row, end, width) < 2) ++end;
    const int count = end - x;
    if (count < 3) {  // absolute runs need at least three pixels
      for (int i = x; i < end; ++i) {
        out.push_back(1);
        out.push_back(row[i]);
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<uint8_t>(count));
      out.insert(out.end(), row + x, row + end);
      if (count % 2 != 0) out.push_back(0);  // absolute runs keep 16-bit alignment
    }
    x = end;
  }
  return out;
}

std::vector<uint8_t> WriteBmpRle8(const IndexedPicture& picture) {
  std::vector<uint8_t> data;
  for (int y = picture.height - 1; y >= 0; --y) {
    const uint8_t* row = picture.indexes.data() + static_cast<size_t>(y) * picture.width;
    const std::vector<uint8_t> encoded = EncodeRle8Row(row, picture.width);
    data.insert(data.end(), encoded.begin(), encoded.end());
    data.push_back(0);
    data.push_back(y == 0 ? 1 : 0);  // end of bitmap after the top row, else end of line
  }
  ByteSink out;
  const auto paletteCount = static_cast<uint32_t>(picture.palette.size());
  PutHeaders(out, picture.width, picture.height, 8, kCompressionRle8, paletteCount,
             static_cast<uint32_t>(data.size()));
  for (const Rgb8& c : picture.palette) {
    out.U8(c.b);
    out.U8(c.g);
    out.U8(c.r);
    out.U8(0);
  }
  out.Append(data);
  return out.Take();
}

std::vector<uint8_t> WriteBmp24(const RgbPicture& picture) {
  const int rowBytes = (picture.width * 3 + 3) / 4 * 4;
  ByteSink out;
  PutHeaders(out, picture.width, picture.height, 24, kCompressionNone, 0,
             static_cast<uint32_t>(rowBytes) * static_cast<uint32_t>(picture.height));
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgb8 c = picture.At(x, y);
      out.U8(c.b);
      out.U8(c.g);
      out.U8(c.r);
    }
    for (int pad = picture.width * 3; pad < rowBytes; ++pad) out.U8(0);
  }
  return out.Take();
}

}  // namespace assets
