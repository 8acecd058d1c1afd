#pragma once

#include <string>

namespace platform {

// The folder that holds the running executable, with a trailing "/". Computed on the first
// call and fixed from then on; every data path of the program is built on it.
const std::string& ApplicationFolder();

}  // namespace platform
