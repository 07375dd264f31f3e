#include "tools/fwxtool/ports_command.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>

#include "tools/fwxtool/platform.h"

namespace fw::tool {

int commandPorts(bool json, std::ostream& out, std::ostream& err) {
    const std::vector<ListedPort> ports = listPorts();
    if (json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const ListedPort& p : ports) {
            nlohmann::ordered_json entry;
            entry["device"] = p.device;
            entry["path"] = p.path;
            entry["kind"] = p.kind == kPortBluetooth ? "bluetooth"
                            : p.kind == kPortSerial  ? "serial"
                                                     : "virtual";
            entry["description"] = p.description.empty() ? nlohmann::ordered_json(nullptr)
                                                         : nlohmann::ordered_json(p.description);
            list.push_back(std::move(entry));
        }
        out << list.dump(2) << '\n';
        return kExitOk;
    }
    if (ports.empty()) {
        err << kProgramName << ": no serial ports found\n";
        return kExitOk;
    }
    std::size_t w = 0;
    for (const ListedPort& p : ports) w = std::max(w, p.device.size());
    for (const ListedPort& p : ports) {
        std::string line = p.device + std::string(w - p.device.size(), ' ') + "  ";
        std::string kind(portKindText(p.kind));
        line += kind + std::string(kind.size() < 14 ? 14 - kind.size() : 0, ' ');
        if (!p.description.empty()) line += "  " + p.description;
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line;
        if (p.path != p.device) out << "  (" << p.path << ")";
        out << '\n';
    }
    return kExitOk;
}

int handlePorts(const ParsedCommand& c, CommandContext& x) {
    return commandPorts(c.has("--json"), x.out, x.err);
}

}  // namespace fw::tool
