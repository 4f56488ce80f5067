#pragma once
// Serial links on POSIX: termios device nodes, pseudo-terminals, and the opener that also
// understands "tcp:HOST:PORT".
#include <memory>
#include <optional>
#include <string>

#include "platform/serial_device.h"

namespace celes::platform::posix {

// Opens a terminal device for exclusive use in raw mode with the given line (no flow control,
// receiver on, modem lines ignored). Nothing when the path is missing, busy, not a terminal, or
// the line cannot be set (rates without a termios constant, such as 14400 and 56000).
std::unique_ptr<SerialDevice> openTerminal(const std::string& path, const SerialLine& line);

// Device paths for names beginning "tcp:" go to a TCP connection, everything else to openTerminal.
class PosixSerialOpener : public SerialDeviceOpener {
  public:
    std::unique_ptr<SerialDevice> open(const std::string& name, const SerialLine& line) override;
};

// The controlling end of a fresh pseudo-terminal, in raw mode. Programs open slavePath as if it
// were a serial port; master reads what they write and writes what they read. The master keeps
// one descriptor of the slave open itself, so it never sees a hang-up between clients.
struct PseudoTerminal {
    std::unique_ptr<SerialDevice> master;
    std::string slavePath;
};
std::optional<PseudoTerminal> openPseudoTerminal();

}  // namespace celes::platform::posix
