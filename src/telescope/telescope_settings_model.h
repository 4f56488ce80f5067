#pragma once
// The model of the telescope settings dialog "望遠鏡制御": mount type, the port behind each of the four
// port numbers (a serial device, "tcp:HOST:PORT" or "indi:HOST:PORT[/DEVICE]"), the trace and its period.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "telescope/telescope.h"

namespace celes {

inline constexpr std::array<const char*, 2> kMountTypeNames = {"Meade ETX70", "Meade AutoStar"};
inline constexpr std::array<const char*, 4> kPortNames = {"COM1", "COM２", "COM３", "COM４"};
inline constexpr const char* kTraceCheckText = "トレース（120回、60回、20回）";
inline constexpr std::array<const char*, 3> kTracePeriodNames = {".5秒", "1秒", "３秒"};

// Whether a port text can be opened as written: an absolute device path, "tcp:HOST:PORT" with a port
// of 1-65535, or "indi:HOST[:PORT][/DEVICE]". Returns the reason when not, else empty.
std::string PortTextProblem(std::string_view text);

class TelescopeSettingsModel {
  public:
    // presentDevices: the serial devices found on the machine, offered in the port list.
    TelescopeSettingsModel(const TelescopeSettings& settings, std::vector<std::string> presentDevices);

    int mountType = 0;  // index into kMountTypeNames
    int portIndex = 0;  // 0-3 for the port numbers 1-4
    bool trace = false;
    int traceTimeIndex = 2;            // index into kTracePeriodNames
    std::array<std::string, 4> ports;  // what each port number stands for

    // The choices offered for the selected port: the devices present, then the port's own text.
    std::vector<std::string> PortChoices() const;
    // OK: every port text must be usable; returns the problem to show, or empty and fills settings.
    std::string Accept(TelescopeSettings& settings) const;

  private:
    std::vector<std::string> present_;
};

}  // namespace celes
