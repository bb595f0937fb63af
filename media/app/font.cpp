#include "media/app/font.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

#include "media/blit/coverage_blend.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/pixel_view.h"

namespace media {

namespace {

constexpr std::int32_t kAtlasWidth = 1024;
constexpr char32_t kReplacement = 0xFFFD;
// Fonts larger than this are refused: nothing a game draws needs them.
constexpr std::size_t kMaxFontBytes = std::size_t{64} << 20;

}  // namespace

char32_t NextCodePoint(const char*& p) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const unsigned lead = s[0];
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++p;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07;
    } else {
        ++p;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) {  // also stops at the terminating zero
            ++p;
            return kReplacement;
        }
        c = (c << 6) | (s[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++p;
        return kReplacement;
    }
    p += length;
    return c;
}

// One glyph: where its coverage lies in the atlas, where it goes from the pen on the baseline,
// and how far it moves the pen (pixels).
struct AtlasGlyph {
    int index = 0;  // the font's glyph number, for kerning
    char32_t code = 0;
    std::int32_t atlasX = 0, atlasY = 0, width = 0, height = 0;
    std::int32_t left = 0, top = 0;  // offset of the coverage's top-left from the pen on the baseline
    float advance = 0;
};

struct Font::Impl {
    std::vector<unsigned char> file;
    stbtt_fontinfo info{};
    float scale = 0;
    std::int32_t ascent = 0, lineHeight = 0;
    // The atlas: kAtlasWidth bytes a row, glyphs packed on shelves left to right.
    std::vector<std::uint8_t> atlas;
    std::int32_t shelfX = 0, shelfY = 0, shelfHeight = 0;
    std::array<AtlasGlyph, 128> ascii{};
    std::vector<float> asciiKerning = std::vector<float>(95 * 95, std::nanf(""));
    std::unordered_map<char32_t, AtlasGlyph> others;

    AtlasGlyph Rasterise(char32_t c) {
        AtlasGlyph g;
        g.code = c;
        g.index = stbtt_FindGlyphIndex(&info, static_cast<int>(c));
        int advance = 0, bearing = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphHMetrics(&info, g.index, &advance, &bearing);
        stbtt_GetGlyphBitmapBox(&info, g.index, scale, scale, &x0, &y0, &x1, &y1);
        g.advance = static_cast<float>(advance) * scale;
        g.left = x0, g.top = y0;
        g.width = std::clamp(x1 - x0, 0, kAtlasWidth);
        g.height = std::max(y1 - y0, 0);
        if (g.width == 0 || g.height == 0) return g;
        if (shelfX + g.width > kAtlasWidth) shelfY += shelfHeight, shelfX = 0, shelfHeight = 0;
        g.atlasX = shelfX, g.atlasY = shelfY;
        shelfX += g.width + 1;
        shelfHeight = std::max(shelfHeight, g.height + 1);
        atlas.resize(static_cast<std::size_t>(shelfY + shelfHeight) * kAtlasWidth);
        stbtt_MakeGlyphBitmap(&info, &atlas[static_cast<std::size_t>(g.atlasY) * kAtlasWidth + g.atlasX], g.width, g.height, kAtlasWidth, scale,
                              scale, g.index);
        return g;
    }

    const AtlasGlyph& Glyph(char32_t c) {
        if (c < ascii.size() && c >= 32) return ascii[c];
        const auto found = others.find(c);
        if (found != others.end()) return found->second;
        return others.emplace(c, Rasterise(c)).first->second;
    }

    // The library looks kerning up in the font's tables each time; pairs of printable ASCII
    // characters are kept once looked up, so a line drawn every frame looks up nothing.
    float Kerning(const AtlasGlyph* previous, const AtlasGlyph& next) {
        if (!previous) return 0.0f;
        const auto lookUp = [&] { return static_cast<float>(stbtt_GetGlyphKernAdvance(&info, previous->index, next.index)) * scale; };
        if (previous->code < 32 || previous->code >= 127 || next.code < 32 || next.code >= 127) return lookUp();
        float& kept = asciiKerning[(previous->code - 32) * 95 + (next.code - 32)];
        if (std::isnan(kept)) kept = lookUp();
        return kept;
    }
};

Font::Font() = default;
Font::~Font() = default;
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;

Status Font::Load(const char* path, float pixelHeight) {
    if (!path) return {ErrorCode::InvalidArgument, "cannot load a font: no file name (null)"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {ErrorCode::NotFound, std::string("cannot load font '") + path + "': no such file"};
    std::vector<unsigned char> bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFontBytes) {
        return {ErrorCode::BadData, std::string("cannot load font '") + path + "': not a readable file of at most 64 MiB"};
    }
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (!in) return {ErrorCode::BadData, std::string("cannot load font '") + path + "': the file could not be read"};
    const Status status = LoadFromMemory(bytes.data(), bytes.size(), pixelHeight);
    return status ? status : Status{status.Code(), std::string("cannot load font '") + path + "': " + status.Message()};
}

Status Font::LoadFromMemory(const void* data, std::size_t size, float pixelHeight) {
    if (!data || size == 0) return {ErrorCode::InvalidArgument, "no font data"};
    if (size > kMaxFontBytes) return {ErrorCode::BadData, "the font is larger than 64 MiB"};
    if (!(pixelHeight >= 1 && pixelHeight <= 1024)) return {ErrorCode::InvalidArgument, "the pixel height must be 1 to 1024"};
    auto fresh = std::make_unique<Impl>();
    const auto* bytes = static_cast<const unsigned char*>(data);
    fresh->file.assign(bytes, bytes + size);
    // The table directory must lie inside the data before the library reads it (it checks
    // nothing itself): 12 bytes of header and 16 per table.
    if (size < 12) return {ErrorCode::BadData, "not a TrueType font"};
    const std::size_t tables = (std::size_t{fresh->file[4]} << 8) | fresh->file[5];
    const int offset = stbtt_GetFontOffsetForIndex(fresh->file.data(), 0);
    if (offset != 0 || 12 + 16 * tables > size || !stbtt_InitFont(&fresh->info, fresh->file.data(), 0)) {
        return {ErrorCode::BadData, "not a TrueType font"};
    }
    fresh->scale = stbtt_ScaleForPixelHeight(&fresh->info, pixelHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&fresh->info, &ascent, &descent, &gap);
    fresh->ascent = static_cast<std::int32_t>(std::lround(ascent * fresh->scale));
    fresh->lineHeight = static_cast<std::int32_t>(std::ceil((ascent - descent + gap) * fresh->scale));
    for (char32_t c = 32; c < fresh->ascii.size(); ++c) fresh->ascii[c] = fresh->Rasterise(c);
    impl_ = std::move(fresh);
    return {};
}

bool Font::Loaded() const { return impl_ != nullptr; }
std::int32_t Font::LineHeight() const { return impl_ ? impl_->lineHeight : 0; }
std::int32_t Font::Ascent() const { return impl_ ? impl_->ascent : 0; }

TextSize Font::Measure(const char* text) const {
    if (!impl_ || !text || !*text) return {};
    float widest = 0, pen = 0;
    std::int32_t lines = 1;
    const AtlasGlyph* previous = nullptr;
    for (const char* p = text; *p;) {
        const char32_t c = NextCodePoint(p);
        if (c == '\n') {
            widest = std::max(widest, pen);
            pen = 0, previous = nullptr, ++lines;
            continue;
        }
        const AtlasGlyph& g = impl_->Glyph(c);
        pen += impl_->Kerning(previous, g) + g.advance;
        previous = &g;
    }
    widest = std::max(widest, pen);
    return {static_cast<std::int32_t>(std::ceil(widest)), lines * impl_->lineHeight};
}

Status Font::DrawOn(PixelSurface& surface, std::int32_t x, std::int32_t y, const char* text, Color color) const {
    if (!impl_) return {ErrorCode::NotOpen, "the font is not loaded"};
    if (!text) return {ErrorCode::InvalidArgument, "no text to draw (null)"};
    if (color.a == 0 || !*text) return {};
    const platform::Rect clip = surface.ClipRect();
    // The glyphs' pieces on the surface first, then one blend for the whole text.
    thread_local std::vector<CoveragePiece> pieces;
    pieces.clear();
    // The pen in 64 bits: text far off the canvas moves it without overflow.
    double pen = x;
    std::int64_t baseline = std::int64_t{y} + impl_->ascent;
    const AtlasGlyph* previous = nullptr;
    for (const char* p = text; *p;) {
        const char32_t c = NextCodePoint(p);
        if (c == '\n') {
            pen = x, previous = nullptr, baseline += impl_->lineHeight;
            continue;
        }
        const AtlasGlyph& g = impl_->Glyph(c);
        pen += impl_->Kerning(previous, g);
        previous = &g;
        // The glyph's rectangle on the surface, cut to the clip rectangle.
        const std::int64_t left = std::llround(pen) + g.left, top = baseline + g.top;
        pen += g.advance;
        const std::int64_t l = std::max<std::int64_t>(left, clip.left), t = std::max<std::int64_t>(top, clip.top);
        const std::int64_t r = std::min<std::int64_t>(left + g.width, clip.right), b = std::min<std::int64_t>(top + g.height, clip.bottom);
        if (l >= r || t >= b) continue;
        const platform::Rect area{static_cast<std::int32_t>(l), static_cast<std::int32_t>(t), static_cast<std::int32_t>(r),
                                  static_cast<std::int32_t>(b)};
        // Offsets, not addresses: the atlas may grow while the text is laid out.
        const std::size_t offset = static_cast<std::size_t>(g.atlasY + (t - top)) * kAtlasWidth + static_cast<std::size_t>(g.atlasX + (l - left));
        pieces.push_back({area, offset});
    }
    if (pieces.empty()) return {};
    if (surface.Lock() < 0) return {ErrorCode::Failed, "the canvas's pixels could not be locked (display lost?)"};
    const platform::PixelView view = surface.View();
    if (platform::FitsInside(clip, view.width, view.height)) {
        BlendCoverage(view, surface.GetPixelFormatInfo().depth, pieces.data(), pieces.size(), impl_->atlas.data(), kAtlasWidth,
                      color.RawFor(surface), color.a);
    }
    surface.Unlock();
    return {};
}

}  // namespace media
