#include "platform/osError.h"

#include <cerrno>
#include <cstring>

namespace platform {

EOSError::EOSError(int errorCode, const std::string& systemText)
    : std::runtime_error(FormatMessage(errorCode, systemText)), errorCode_(errorCode)
{
}

std::string EOSError::FormatMessage(int errorCode, const std::string& systemText)
{
    if (errorCode == 0)
        return "A call to an OS function failed";
    return "System Error.  Code: " + std::to_string(errorCode) + ".\r\n" + systemText;
}

void RaiseLastOSError()
{
    const int code = errno;
    throw EOSError(code, code != 0 ? std::strerror(code) : std::string());
}

void RaiseLastOSError(const std::string& systemText)
{
    throw EOSError(errno, systemText);
}

}  // namespace platform
