#include "media/app/string_pool.h"

#include <algorithm>
#include <cstring>

namespace media {

const char* StringPool::Add(std::string_view text) {
    const std::size_t need = text.size() + 1;
    // The first block from the current one with room; a new one at the end when none has.
    while (current_ < blocks_.size() && blocks_[current_].size - used_ < need) ++current_, used_ = 0;
    if (current_ == blocks_.size()) {
        const std::size_t size = std::max(kBlockSize, need);
        blocks_.push_back({std::make_unique<char[]>(size), size});
        used_ = 0;
    }
    char* copy = blocks_[current_].bytes.get() + used_;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    used_ += need;
    return copy;
}

void StringPool::Clear() { current_ = used_ = 0; }

std::size_t StringPool::Capacity() const {
    std::size_t total = 0;
    for (const Block& block : blocks_) total += block.size;
    return total;
}

}  // namespace media
