#include "media/app/bitmap_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/blit/span_fill.h"
#include "media/display/pixel_surface.h"
#include "platform/video/font8x16.h"

namespace media {

namespace {

constexpr std::int32_t kMaxScale = 64;

}  // namespace

TextSize MeasureBitmapText(const char* text, std::int32_t scale) {
    if (!text || scale < 1 || scale > kMaxScale) return {};
    const std::size_t length = std::strlen(text);
    const std::int64_t width = static_cast<std::int64_t>(length) * platform::kGlyphWidth * scale;
    return {static_cast<std::int32_t>(std::min<std::int64_t>(width, INT32_MAX)), length ? platform::kGlyphHeight * scale : 0};
}

Status DrawBitmapText(PixelSurface& surface, std::int32_t x, std::int32_t y, const char* text, Color color, std::int32_t scale) {
    if (!text) return {ErrorCode::InvalidArgument, "no text to draw (null)"};
    if (scale < 1 || scale > kMaxScale) return {ErrorCode::InvalidArgument, "the text scale must be 1 to 64"};
    const platform::Rect clip = surface.ClipRect();
    if (color.a == 0 || clip.IsEmpty()) return {};
    // Each set run of a glyph row becomes scale spans, one per row of the block.
    thread_local std::vector<PixelSpan> spans;
    spans.clear();
    const std::int64_t w = platform::kGlyphWidth * scale;
    std::int64_t left = x;
    for (const char* p = text; *p && left < clip.right; ++p, left += w) {
        const std::uint8_t* rows = platform::GlyphRows(static_cast<unsigned char>(*p));
        if (!rows || left + w <= clip.left) continue;
        for (int row = 0; row < platform::kGlyphHeight; ++row) {
            for (int bit = 0; bit < platform::kGlyphWidth;) {
                if (!(rows[row] & (0x80 >> bit))) {
                    ++bit;
                    continue;
                }
                int end = bit;
                while (end < platform::kGlyphWidth && (rows[row] & (0x80 >> end))) ++end;
                const std::int64_t begin = std::max<std::int64_t>(left + std::int64_t{bit} * scale, clip.left);
                const std::int64_t stop = std::min<std::int64_t>(left + std::int64_t{end} * scale, clip.right);
                for (std::int64_t r = 0; r < scale && begin < stop; ++r) {
                    const std::int64_t py = std::int64_t{y} + std::int64_t{row} * scale + r;
                    if (py >= clip.top && py < clip.bottom) {
                        spans.push_back({static_cast<std::int32_t>(py), static_cast<std::int32_t>(begin), static_cast<std::int32_t>(stop)});
                    }
                }
                bit = end;
            }
        }
    }
    if (spans.empty()) return {};
    if (surface.Lock() < 0) return {ErrorCode::Failed, "the canvas's pixels could not be locked (display lost?)"};
    const platform::PixelView view = surface.View();
    if (platform::FitsInside(clip, view.width, view.height)) {
        FillSpans(view, surface.GetPixelFormatInfo().depth, spans.data(), spans.size(), color.RawFor(surface), color.a);
    }
    surface.Unlock();
    return {};
}

}  // namespace media
