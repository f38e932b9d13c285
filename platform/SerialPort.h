// Serial ports on termios: opening "COMn" devices, line settings, non-blocking reads and
// deadline-bound writes, plus a registry that lets another thread write into an opening safely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Identifies one opening of a serial port; 0 means "no port".
using PortToken = std::uint64_t;
// The token of the currently open SerialPort that owns descriptor fd, or 0.
PortToken portTokenFor(int fd);
// Writes into the port opening named by token, from any thread; false (and nothing written) when
// that opening has been closed, even if the descriptor number was reused since. Gives up after 1000
// ms.
bool writeToPort(PortToken token, const char *data, std::size_t size);

enum class SerialParity { None, Odd, Even, Mark, Space, Unchanged };
enum class SerialStopBits { One, OneAndHalf, Two };

struct SerialLineSettings {
  int baudRate = 9600;
  int dataBits = 8; // 5 to 8
  SerialStopBits stopBits = SerialStopBits::One;
  SerialParity parity = SerialParity::None;
  bool parityCheck = false; // input parity checking
  bool dtr = false;
  bool rts = false;
};

// How long a write may wait for the line before it gives up.
constexpr int serialWriteTimeoutMs = 1000;

// The device behind "COM" + number: the link COMn in the ports folder when it exists, else the
// fixed table (COM1-32 ttyS, COM33-64 ttyUSB, COM65-96 ttyACM); empty when there is none.
std::string comDevicePath(int number);
// Every "COMn" (1 to 256) whose device exists, in number order.
std::vector<std::string> listComPorts();

// One serial port opening. Lives on one thread; other threads reach it only through writeToPort.
class SerialPort {
public:
  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort &) = delete;
  SerialPort &operator=(const SerialPort &) = delete;

  // Opens the device for reading and writing, exclusively, without making it the controlling
  // terminal. False when it cannot be opened or someone else holds it.
  bool open(const std::string &devicePath);
  // Raw mode with the given line settings; reads return at once with what is queued.
  bool configure(const SerialLineSettings &settings);
  // Withdraws the opening from the registry before the descriptor is closed.
  void close();

  bool isOpen() const { return fd_ >= 0; }
  int handle() const { return fd_; }
  PortToken token() const { return token_; }

  // Drops what waits in both directions.
  void purge();
  // Bytes waiting to be read, or -1 on error.
  int queuedBytes() const;
  // Reads at most size bytes that are already queued; bytes read, 0 for none, -1 on error.
  long read(char *buffer, std::size_t size);
  // Writes every byte, waiting at most serialWriteTimeoutMs for a full line; false when not all
  // bytes went out.
  bool write(const char *data, std::size_t size);

  struct Opening;

private:
  int fd_ = -1;
  PortToken token_ = 0;
  std::shared_ptr<Opening> opening_;
};

} // namespace platform
