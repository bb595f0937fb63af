#pragma once
// The text of one frame's events (typed text, dropped paths): strings copied into blocks that are
// kept from frame to frame, so that an event can point at its text and a frame's events allocate
// nothing once the blocks have grown to a busy frame's size. Clear at the start of each frame
// makes every string handed out before invalid.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace media {

class StringPool {
public:
    /// Bytes of one block; a longer string gets a block of its own size.
    static constexpr std::size_t kBlockSize = 4096;

    /// A NUL-terminated copy of text, valid until Clear.
    const char* Add(std::string_view text);
    /// Forgets every string; the blocks stay for the next frame.
    void Clear();
    /// Bytes the blocks hold, used or not.
    std::size_t Capacity() const;

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };
    std::vector<Block> blocks_;
    std::size_t current_ = 0;  // the block being filled
    std::size_t used_ = 0;     // bytes used in it
};

}  // namespace media
