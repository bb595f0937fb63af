// The inline copies of short spans: every length through each size class, at every alignment,
// against memcpy, with the bytes on either side of the span left alone.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/pixels/short_copy.h"

namespace {

TEST(ShortCopyTest, EveryLengthCopiesExactlyItsSpan) {
    struct Copy {
        const char* name;
        void (*copy)(std::uint8_t*, const std::uint8_t*, std::size_t);
        std::size_t shortest;
    };
    const Copy copies[] = {{"CopyShort", platform::CopyShort, 0}, {"CopyAlignedStores", platform::CopyAlignedStores, 32}};
    constexpr std::size_t kGuard = 40;
    std::vector<std::uint8_t> source(700);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (const Copy& c : copies) {
        for (std::size_t bytes = c.shortest; bytes <= 600; ++bytes) {
            // Shifts past 32 put the destination at every offset from a 32-byte boundary that
            // the vector allocation's own alignment leaves.
            for (const std::size_t shift : {0, 1, 3, 8, 17, 31, 45}) {
                SCOPED_TRACE(testing::Message() << c.name << ", " << bytes << " bytes, shifted by " << shift);
                std::vector<std::uint8_t> out(bytes + 2 * kGuard + shift, 0xA5), expected = out;
                std::memcpy(expected.data() + kGuard + shift, source.data() + shift, bytes);
                c.copy(out.data() + kGuard + shift, source.data() + shift, bytes);
                ASSERT_EQ(out, expected);
            }
        }
    }
}

TEST(ShortCopyTest, EveryLengthFillsExactlyItsSpan) {
    constexpr std::size_t kGuard = 24;
    for (std::size_t bytes = 0; bytes <= 300; ++bytes) {
        SCOPED_TRACE(testing::Message() << bytes << " bytes");
        std::vector<std::uint8_t> out(bytes + 2 * kGuard, 0xA5), expected = out;
        std::memset(expected.data() + kGuard, 0x3C, bytes);
        platform::FillShort(out.data() + kGuard, 0x3C, bytes);
        ASSERT_EQ(out, expected);
    }
}

}  // namespace
