#pragma once
// The serial devices present on this machine, for the telescope settings' port list.
#include <string>
#include <vector>

namespace celes::platform::posix {

// /dev/serial/by-id/* first (names that survive re-plugging), then /dev/ttyUSB*, /dev/ttyACM* and
// /dev/ttyS*, each only when it opens and answers to termios; sorted within each group. root: where
// "dev" is found ("/" on a running system; a test folder in tests).
std::vector<std::string> ListSerialDevices(const std::string& root = "/");

}  // namespace celes::platform::posix
