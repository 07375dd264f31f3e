#include "tools/fwxtool/live_lines.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <utility>

#include "tools/fwxtool/platform.h"

namespace fw::tool {

LiveLines::LiveLines(std::ostream& err, std::size_t portShare, std::function<std::string(const PortStatus&)> rest)
    : err_(err), portShare_(portShare), rest_(std::move(rest)) {
    consoleSize(width_, height_);
    // A console too narrow to tell (or to hold a port's name) is taken as
    // the usual one: the port column must keep room for its "...".
    if (width_ <= 20) width_ = 80;
}

void LiveLines::draw(const std::vector<PortStatus>& rows) {
    std::size_t w = 4;
    for (const PortStatus& r : rows) w = std::max(w, r.port.size());
    w = std::min(w, width_ / portShare_);
    if (drawn_ > 0) err_ << "\x1b[" << drawn_ << "A";
    for (const PortStatus& r : rows) {
        const std::string port = r.port.size() > w ? "..." + r.port.substr(r.port.size() - (w - 3)) : r.port;
        std::ostringstream line;
        line << std::left << std::setw(int(w)) << port << rest_(r);
        std::string text = line.str();
        if (text.size() >= width_) text.resize(width_ - 1);
        // Clear the rest of the line: the text before may have been longer.
        err_ << '\r' << text << "\x1b[K\n";
    }
    err_ << std::flush;
    drawn_ = rows.size();
}

}  // namespace fw::tool
