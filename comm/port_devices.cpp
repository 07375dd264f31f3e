#include "comm/port_devices.h"

#include <algorithm>
#include <cctype>
#include <tuple>

namespace fw {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(std::string s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    s.erase(0, std::min(s.size(), s.find_first_not_of(" \t\r\n")));
    return s;
}

// "COM12" sorts as COM then 12; names without a number after their letters
// sort by name, after those with one of the same letters.
bool portBefore(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
        const std::string number = s.substr(digits);
        return std::make_tuple(upper(s.substr(0, digits)), number.empty() ? 1 : 0,
                               number.size() > 9 ? ~0ull : number.empty() ? 0ull : std::stoull(number), s);
    };
    return split(a) < split(b);
}

std::string describe(const PortDevice& d) {
    std::string name = trimmed(d.friendlyName);
    // The list shows the port already.
    const std::string own = "(" + upper(trimmed(d.portName)) + ")";
    if (name.size() >= own.size() && upper(name).compare(name.size() - own.size(), own.size(), own) == 0)
        name = trimmed(name.substr(0, name.size() - own.size()));
    if (name.empty()) name = trimmed(d.product);
    const std::string maker = trimmed(d.maker);
    if (maker.empty() || upper(name).find(upper(maker)) != std::string::npos) return name;
    return name.empty() ? maker : name + " (" + maker + ")";
}

}  // namespace

std::vector<DescribedPort> mergePortDevices(const std::vector<SerialPortInfo>& ports,
                                            const std::vector<PortDevice>& devices) {
    std::vector<DescribedPort> list;
    for (const SerialPortInfo& p : ports) {
        DescribedPort d{p, {}};
        for (const PortDevice& device : devices) {
            if (upper(trimmed(device.portName)) != upper(p.portName)) continue;
            d.description = describe(device);
            break;
        }
        list.push_back(std::move(d));
    }
    std::stable_sort(list.begin(), list.end(), [](const DescribedPort& a, const DescribedPort& b) {
        return portBefore(a.info.portName, b.info.portName);
    });
    return list;
}

std::string portListText(const DescribedPort& port) {
    // A device may call itself by its port and nothing else.
    if (port.description.empty() || upper(port.description) == upper(port.info.portName)) return port.info.portName;
    return port.info.portName + " - " + port.description;
}

}  // namespace fw
