// Turns the bytes a program writes into a simulated port into readable report lines: text lines
// (thrust commands and other commands) as they are, RTCM 3 correction frames by type and size.
#pragma once

#include <string>
#include <vector>

namespace sim {

class WrittenBack {
public:
  // Takes the next bytes; returns the report lines they complete.
  std::vector<std::string> feed(const std::string &bytes);
  // Reports what is left over (an unfinished line or frame).
  std::vector<std::string> flush();

private:
  void flushBinary(std::vector<std::string> &out);
  std::string pending_;
  std::size_t binary_ = 0;
};

} // namespace sim
