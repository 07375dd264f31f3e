// One line per port on a console, redrawn in place as the ports' workers
// report: the port's name in a column of its own, then what the command
// has to say of it.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "comm/port_workers.h"

namespace fw::tool {

class LiveLines {
public:
    // `rest`: a row's text after its port. The port column takes at most
    // 1/`portShare` of the console's width.
    LiveLines(std::ostream& err, std::size_t portShare, std::function<std::string(const PortStatus&)> rest);

    // Lines redrawn in place must all be on the screen: the cursor cannot
    // go up past its top.
    bool fits(std::size_t rows) const { return rows < height_; }
    void draw(const std::vector<PortStatus>& rows);

private:
    std::ostream& err_;
    std::size_t portShare_;
    std::function<std::string(const PortStatus&)> rest_;
    std::size_t width_ = 80;
    std::size_t height_ = 24;
    std::size_t drawn_ = 0;
};

}  // namespace fw::tool
