// The commands that talk to terminals: download, lookup, receive and load,
// on one port or on many at once. One port is a run of one: the same
// preparation and the same job, shown as a single transfer (a bar, then
// the result) instead of a line per port and a summary.
#pragma once

#include <string>

#include "tools/fwxtool/option_reader.h"

namespace fw::tool {

// The values of --link (cradle, irda, serial), of load's --link (rs232,
// cradle) and of --baud: what is wrong with one, or an empty string.
std::string checkTransferLink(const std::string& value);
std::string checkLoaderLink(const std::string& value);
std::string checkSpeed(const std::string& value);

// The options of these commands, by name.
constexpr const char* kLinkOption = "--link";
constexpr const char* kBaudOption = "--baud";
constexpr const char* kPortOption = "--port";
constexpr const char* kJsonOption = "--json";

int handleDownload(const ParsedCommand& command, CommandContext& context);
int handleLookup(const ParsedCommand& command, CommandContext& context);
int handleReceive(const ParsedCommand& command, CommandContext& context);
int handleLoad(const ParsedCommand& command, CommandContext& context);

}  // namespace fw::tool
