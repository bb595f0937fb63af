#include "media/app/status.h"

#include <cstdio>

namespace media {

Status Status::FromPlatform(const std::string& what, long result) {
    char code[32];
    std::snprintf(code, sizeof code, " (result 0x%08lX)", static_cast<unsigned long>(result) & 0xFFFFFFFFul);
    return {ErrorCode::Failed, what + code};
}

bool Status::Report(const char* program) const {
    if (Succeeded()) return true;
    std::fprintf(stderr, "%s: %s\n", program ? program : "error", message_.c_str());
    return false;
}

}  // namespace media
