// The error every whole-file read or write of the platform layer raises.
#pragma once

#include <stdexcept>

namespace platform {

// A file could not be opened, read or written; what() names the file.
class EFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace platform
