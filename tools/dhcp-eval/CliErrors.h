// CliErrors: CLI11's parse errors in the words of dhcp-eval's messages.
//
//   try { app.parse(arguments); }
//   catch (const CLI::ParseError& e) { throw CUsageError{usageMessage(e)}; }
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace qvt::tool {

// usageMessage: "option '--key' requires an argument", "option '--json'
// takes no argument", ...; CLI11's own text for any other error.
std::string usageMessage(const CLI::ParseError& error);

// unknownOptionMessage: the message for an argument that looks like an
// option and is none.
std::string unknownOptionMessage(const std::string& argument);

// splitAtDoubleDash: the arguments before the first "--" (returned) and
// those after it (into rest); argv[0] is left out.
std::vector<std::string> splitAtDoubleDash(int argc, const char* const* argv,
                                           std::vector<std::string>& rest);

}  // namespace qvt::tool
