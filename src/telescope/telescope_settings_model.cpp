#include "telescope/telescope_settings_model.h"

#include <algorithm>
#include <charconv>

namespace celes {

namespace {

bool ValidPort(std::string_view digits) {
    int port = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    return ec == std::errc() && end == digits.data() + digits.size() && port >= 1 && port <= 65535;
}

}  // namespace

std::string PortTextProblem(std::string_view text) {
    if (text.empty()) return "ポートが指定されていません";
    if (text.substr(0, 4) == "tcp:") {
        const std::string_view rest = text.substr(4);
        const auto colon = rest.rfind(':');
        if (colon == std::string_view::npos || colon == 0 || !ValidPort(rest.substr(colon + 1)))
            return "tcp:HOST:PORT の形で指定してください";
        return {};
    }
    if (IsIndiAddress(text)) {
        std::string_view rest = text.substr(5);
        const auto slash = rest.find('/');
        const std::string_view server = rest.substr(0, slash);
        const auto colon = server.rfind(':');
        const std::string_view host = colon == std::string_view::npos ? server : server.substr(0, colon);
        if (host.empty() || (colon != std::string_view::npos && !ValidPort(server.substr(colon + 1))))
            return "indi:HOST:PORT/DEVICE の形で指定してください";
        return {};
    }
    if (text[0] != '/') return "デバイスのパスを指定してください";
    return {};
}

TelescopeSettingsModel::TelescopeSettingsModel(const TelescopeSettings& settings,
                                               std::vector<std::string> presentDevices)
    : present_(std::move(presentDevices)) {
    // The settings rows hold these to the choices the dialog offers.
    mountType = settings.mountType;
    portIndex = settings.portNumber - 1;
    trace = settings.traceEnabled == 1;
    traceTimeIndex = settings.traceTimeIndex;
    TelescopeSettings probe = settings;
    for (int i = 0; i < 4; ++i) {
        probe.portNumber = i + 1;
        ports[static_cast<std::size_t>(i)] = probe.PortText();
    }
}

std::vector<std::string> TelescopeSettingsModel::PortChoices() const {
    std::vector<std::string> choices = present_;
    const std::string& own = ports[static_cast<std::size_t>(portIndex)];
    if (!own.empty() && std::find(choices.begin(), choices.end(), own) == choices.end())
        choices.push_back(own);
    return choices;
}

std::string TelescopeSettingsModel::Accept(TelescopeSettings& settings) const {
    const std::string problem = PortTextProblem(ports[static_cast<std::size_t>(portIndex)]);
    if (!problem.empty()) return problem;
    settings.mountType = mountType;
    settings.portNumber = portIndex + 1;
    settings.traceEnabled = trace ? 1 : 0;
    settings.traceTimeIndex = traceTimeIndex;
    for (int i = 0; i < 4; ++i) {
        const std::string& text = ports[static_cast<std::size_t>(i)];
        if (!text.empty()) settings.SetPortText(i + 1, text);
    }
    return {};
}

}  // namespace celes
