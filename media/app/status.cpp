#include "media/app/status.h"

#include <cstdio>

namespace media {

Status Status::FromPlatform(const std::string& what, long result) {
    char code[32];
    std::snprintf(code, sizeof code, " (result 0x%08lX)", static_cast<unsigned long>(result) & 0xFFFFFFFFul);
    return {ErrorCode::Failed, what + code};
}

}  // namespace media
