// ToolTestSupport: what the process tests of dhcp-eval's exchange modes
// share: the bundled examples, and the JSON lines a run printed, read with
// nlohmann::json.
//
//   CCommandResult r = runDhcpEval(dir, {"--json", "--packet", example("x.pcap"), "--", "$XID"});
//   std::vector<Json> objects = jsonLines(r.out);
//   text(objects[0].at("value"));  // "0x..." as printed
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/CommandRunner.h"

namespace qvt::test {

// Json keeps an object's members in their written order.
using Json = nlohmann::ordered_json;

// The warning of a run whose ciphers use the default key.
inline const char kDefaultKeyWarning[] =
    "warning: dhcp-eval: The config file does not define a shared server key ('--key'). A "
    "default value will be used.\n";

// example: the path of a file of examples/.
inline std::string example(const std::string& name) {
  return std::string(DHCP_EVAL_SOURCE_DIR) + "/examples/" + name;
}

// expectRefusal: runs dhcp-eval with arguments and checks that it ends with
// status 2, prints nothing on standard output, and that standard error
// begins with err.
inline void expectRefusal(const CScratchDir& dir, const std::vector<std::string>& arguments,
                          const std::string& err) {
  const CCommandResult result = runDhcpEval(dir, arguments);
  EXPECT_EQ(result.status, 2) << err;
  EXPECT_EQ(result.err.substr(0, err.size()), err);
  EXPECT_EQ(result.out, "") << err;
}

// parseJson: the one JSON value that is the whole of text. Besides what
// nlohmann refuses (raw control characters in strings, malformed UTF-8,
// unknown escapes, trailing text), an object naming a member twice raises
// std::invalid_argument: the reader would otherwise keep only one of them.
inline Json parseJson(const std::string& text) {
  std::vector<std::set<std::string>> open;
  std::string repeated;
  const Json::parser_callback_t check = [&](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) {
      open.emplace_back();
    } else if (event == Json::parse_event_t::object_end) {
      open.pop_back();
    } else if (event == Json::parse_event_t::key &&
               !open.back().insert(parsed.get<std::string>()).second) {
      repeated = parsed.get<std::string>();
    }
    return true;
  };
  Json value = Json::parse(text, check);
  if (!repeated.empty()) throw std::invalid_argument("member \"" + repeated + "\" appears twice");
  return value;
}

// jsonLines: every non-empty line of text parsed.
inline std::vector<Json> jsonLines(const std::string& text) {
  std::vector<Json> objects;
  for (const std::string& line : lines(text)) {
    if (!line.empty()) objects.push_back(parseJson(line));
  }
  return objects;
}

// text: a string's text, any other value as JSON writes it ("7", "true").
inline std::string text(const Json& value) {
  return value.is_string() ? value.get<std::string>() : value.dump();
}

// keys: an object's member names in written order.
inline std::vector<std::string> keys(const Json& object) {
  std::vector<std::string> names;
  for (const auto& member : object.items())
    names.push_back(member.key());
  return names;
}

// typedValue: "type value" of an expression's JSON object, or "error: text".
inline std::string typedValue(const Json& object) {
  if (object.contains("error")) return "error: " + text(object.at("error").at("text"));
  return text(object.at("type")) + " " + text(object.at("value"));
}

}  // namespace qvt::test
