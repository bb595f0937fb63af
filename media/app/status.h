#pragma once
// The one success convention of the front door: every call that can fail returns a Status, which
// is true on success and otherwise holds what went wrong in words and as a code.
#include <string>
#include <utility>

namespace media {

/// What failed, as a code a program can branch on; the message says the rest in words.
enum class ErrorCode {
    None,          ///< success
    NotFound,      ///< a file that does not exist or cannot be opened
    BadData,       ///< a file or buffer whose contents the layer cannot read
    NoDevice,      ///< no display, audio output or input device could be opened
    NotOpen,       ///< a call on an object that was never opened or loaded
    Unsupported,   ///< an option the platform layer does not offer
    InvalidArgument,  ///< a null pointer, an empty buffer or a size out of range
    Failed,        ///< the platform refused the operation (the message has its result code)
};

/// The result of a front-door call: true on success; otherwise a code and a message that says
/// why, e.g. "cannot load picture 'bodo.png': no such file".
class Status {
public:
    /// Success.
    Status() = default;
    /// A failure with its code and message.
    Status(ErrorCode code, std::string message) : code_(code), message_(std::move(message)) {}

    /// Success, spelled out.
    static Status Ok() { return {}; }
    /// A failure whose message ends with the platform's result code in hex.
    static Status FromPlatform(const std::string& what, long result);

    /// True on success.
    explicit operator bool() const { return code_ == ErrorCode::None; }
    /// True on success.
    bool Succeeded() const { return code_ == ErrorCode::None; }
    /// ErrorCode::None on success.
    ErrorCode Code() const { return code_; }
    /// Empty on success, else what went wrong in words.
    const std::string& Message() const { return message_; }
    /// On failure writes "program: message" and a new line on standard error. True on success,
    /// so that `if (!status.Report("hello")) return 1;` reports a failure and leaves in one line.
    bool Report(const char* program) const;

private:
    ErrorCode code_ = ErrorCode::None;
    std::string message_;
};

}  // namespace media
