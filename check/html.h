// Text into an HTML page: the five characters that mean markup escaped.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// UTF-8 in, UTF-8 out; <, >, &, " and ' as character references.
std::string htmlEscape(std::string_view utf8);

}  // namespace fw
