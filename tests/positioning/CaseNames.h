// Names for table-driven test cases: a case's description with everything but letters and digits
// turned into '_', since a test name allows nothing else.
#pragma once

#include <cctype>
#include <string>

namespace testsupport {

inline std::string caseName(std::string description) {
  for (char &ch : description)
    if (!std::isalnum(static_cast<unsigned char>(ch)))
      ch = '_';
  return description;
}

} // namespace testsupport
