#pragma once

// Running the peer tools of the benchmarks through the shell.

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace bench {

// `text` in single quotes for the shell.
inline std::string Quoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text) {
        if (c == '\'')
            result += "'\\''";
        else
            result += c;
    }
    return result + "'";
}

// True when the command ran and exited with status 0.
inline bool Run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace bench
