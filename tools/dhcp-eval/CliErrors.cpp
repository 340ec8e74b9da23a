#include "tools/dhcp-eval/CliErrors.h"

namespace qvt::tool {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string usageMessage(const CLI::ParseError& error) {
  const std::string text = error.what();
  // CLI11 names an option as "--name" in "--name: 1 required TEXT missing"
  // and as "name" in "name was given a disallowed flag override".
  const std::size_t colon = text.find(": ");
  if (colon != std::string::npos && text.find("required", colon) != std::string::npos &&
      endsWith(text, "missing")) {
    return "option '" + text.substr(0, colon) + "' requires an argument";
  }
  const std::string override = " was given a disallowed flag override";
  const std::size_t at = text.find(override);
  if (at != std::string::npos) {
    const std::string name = text.substr(0, at);
    return "option '" + std::string(name.size() == 1 ? "-" : "--") + name + "' takes no argument";
  }
  return text;
}

std::string unknownOptionMessage(const std::string& argument) {
  return "unknown option '" + argument + "' (put '--' before an expression that begins with '-')";
}

std::vector<std::string> splitAtDoubleDash(int argc, const char* const* argv,
                                           std::vector<std::string>& rest) {
  std::vector<std::string> before;
  int i = 1;
  for (; i < argc && std::string(argv[i]) != "--"; ++i)
    before.emplace_back(argv[i]);
  for (++i; i < argc; ++i)
    rest.emplace_back(argv[i]);
  return before;
}

}  // namespace qvt::tool
