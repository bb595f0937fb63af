#pragma once
// Bitmap files built in the tests: headers of any size, colour tables, bit-field masks and raw
// or run-length pixel data, so each decoder path can be reached with exact bytes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_bmp {

using Bytes = std::vector<std::uint8_t>;

struct BmpLayout {
    std::int32_t width = 1, height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, written as blue, green, red, 0
    std::vector<std::uint32_t> masks;    // red, green, blue: written at offset 54
    Bytes pixels;                        // the pixel data as stored
    std::int64_t pixelOffset = -1;       // -1: right after the colour table
};

inline void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

inline Bytes MakeBmp(const BmpLayout& s) {
    Bytes header;
    Put32(header, s.headerSize);
    Put32(header, static_cast<std::uint32_t>(s.width));
    Put32(header, static_cast<std::uint32_t>(s.height));
    Put16(header, 1);
    Put16(header, s.bitCount);
    Put32(header, s.compression);
    Put32(header, static_cast<std::uint32_t>(s.pixels.size()));
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, s.colorsUsed);
    Put32(header, 0);
    // Masks sit at offset 54: inside a larger header, or after a 40-byte one.
    Bytes masks;
    for (std::uint32_t m : s.masks) Put32(masks, m);
    if (s.headerSize > 40) {
        header.insert(header.end(), masks.begin(), masks.end());
        masks.clear();
        header.resize(s.headerSize, 0);
    } else if (s.headerSize < 40) {
        header.resize(s.headerSize);
    }
    Bytes table;
    for (std::uint32_t c : s.palette) Put32(table, c & 0xFFFFFF);
    const std::size_t natural = 14 + header.size() + masks.size() + table.size();
    const std::size_t offset = s.pixelOffset >= 0 ? static_cast<std::size_t>(s.pixelOffset) : natural;
    Bytes file{'B', 'M'};
    Put32(file, static_cast<std::uint32_t>(offset + s.pixels.size()));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(offset));
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), masks.begin(), masks.end());
    file.insert(file.end(), table.begin(), table.end());
    if (file.size() < offset) file.resize(offset, 0);
    file.resize(offset);
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

// Stored rows, bottom row first, each padded to 4 bytes: value(x, y) with y counted from the top
// is packed at bitCount bits (little-endian for 16, 24 and 32 bits).
inline Bytes PackRows(std::int32_t width, std::int32_t height, int bitCount,
                      const std::function<std::uint32_t(std::int32_t, std::int32_t)>& value) {
    const std::size_t rowLength = static_cast<std::size_t>((width * bitCount + 31) / 32) * 4;
    Bytes out(rowLength * static_cast<std::size_t>(height), 0);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + static_cast<std::size_t>(height - 1 - y) * rowLength;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            if (bitCount < 8) {
                const int perByte = 8 / bitCount;
                const int shift = (perByte - 1 - x % perByte) * bitCount;
                row[x / perByte] |= static_cast<std::uint8_t>((v & ((1u << bitCount) - 1)) << shift);
            } else {
                for (int b = 0; b < bitCount / 8; ++b) row[x * (bitCount / 8) + b] = static_cast<std::uint8_t>(v >> (8 * b));
            }
        }
    }
    return out;
}

}  // namespace testing_bmp
