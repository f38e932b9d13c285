// A simulated serial device: a pseudo-terminal pair whose slave side is linked as "COMn" in a
// ports folder, where the navigation program opens it as its serial port.
#pragma once

#include <string>

namespace sim {

class SimulatedPort {
public:
  // Creates the pair and the link folder/COMn (replacing an old link of that name). Throws
  // std::runtime_error when either fails.
  SimulatedPort(const std::string &portsFolder, int number);
  // Removes the link.
  ~SimulatedPort();
  SimulatedPort(const SimulatedPort &) = delete;
  SimulatedPort &operator=(const SimulatedPort &) = delete;

  int number() const { return number_; }
  const std::string &linkPath() const { return link_; }
  const std::string &devicePath() const { return device_; }
  // The device side, for polling.
  int deviceFd() const { return master_; }

  // Sends bytes as the device; what does not fit into the line while nobody reads is dropped,
  // as on a real line. Returns the bytes accepted.
  std::size_t send(const std::string &bytes);
  // What the program wrote into the port since the last call (empty when nothing).
  std::string receive();

private:
  int number_;
  int master_ = -1;
  int keeper_ = -1;
  std::string device_;
  std::string link_;
};

} // namespace sim
