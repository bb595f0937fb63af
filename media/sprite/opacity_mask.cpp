#include "media/sprite/opacity_mask.h"

#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

template <int B>
void MaskRows(const platform::PixelView& view, std::uint32_t key, std::uint8_t* out) {
    // A key that a pixel of this size cannot hold matches no pixel.
    using P = platform::PixelSize<B>;
    const bool keyFits = key <= P::kMask;
    const std::int32_t width = view.width, height = view.height;
    for (std::int32_t y = 0; y < height; ++y, out += width) {
        const std::uint8_t* p = view.Row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t v = platform::LoadPixel<B>(p + x * B);
            if constexpr (B == 4) {
                out[x] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(v != key) * OpacityMask::kWholeValue |
                                                   static_cast<std::uint8_t>(!P::IsKey(v, key)) * OpacityMask::kColourBytes);
            } else {
                out[x] = static_cast<std::uint8_t>(!keyFits || v != key) * (OpacityMask::kWholeValue | OpacityMask::kColourBytes);
            }
        }
    }
}

MEDIA_PIXEL_LOOP void MaskPixels(const platform::PixelView& view, std::uint32_t key, std::uint8_t* out) {
    platform::DispatchBytes(view.bytesPerPixel, [&]<int B>() { MaskRows<B>(view, key, out); });
}

}  // namespace

void OpacityMask::Build(const platform::PixelView& view, std::uint32_t key, std::uint64_t version) {
    width_ = view.width;
    bytes_.resize(static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height));
    MaskPixels(view, key, bytes_.data());
    version_ = version;
    key_ = key;
    valid_ = true;
}

}  // namespace media
