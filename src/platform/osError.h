#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// A failed call into the operating system. The message reads
// "System Error.  Code: <code>.\r\n<system text>", or "A call to an OS function failed" when the
// system gave no error code.
class EOSError : public std::runtime_error {
public:
    EOSError(int errorCode, const std::string& systemText);

    int ErrorCode() const { return errorCode_; }

    static std::string FormatMessage(int errorCode, const std::string& systemText);

private:
    int errorCode_;
};

// An EOSError from the calling thread's errno and its system text.
[[noreturn]] void RaiseLastOSError();
// An EOSError from errno, with `systemText` (dlerror() after a failed dlopen or dlsym).
[[noreturn]] void RaiseLastOSError(const std::string& systemText);

}  // namespace platform
