#include "positioning/NtripOutputPort.h"

#include "platform/Convert.h"
#include "positioning/NtripSettingsModel.h"

NtripOutputOpening openNtripOutputPort(platform::SerialPort &port, const std::string &name,
                                       int baudIndex) {
  int number = 0;
  const bool named = name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
                     platform::TryStrToInt(name.substr(3), number) && number > 0;
  const std::string device = named ? platform::comDevicePath(number) : std::string();
  if (device.empty() || !port.open(device))
    return {false, "Failed to open output port: " + name};
  platform::SerialLineSettings settings;
  settings.baudRate = NtripSettingsModel::BaudRate(baudIndex);
  settings.dataBits = 8;
  settings.parity = platform::SerialParity::None;
  settings.stopBits = platform::SerialStopBits::One;
  settings.parityCheck = false;
  settings.dtr = true;
  settings.rts = true;
  if (!port.configure(settings)) {
    port.close();
    return {false, "Failed to configure output port"};
  }
  return {true, "Output port opened: " + name + " @ " + std::to_string(settings.baudRate)};
}
