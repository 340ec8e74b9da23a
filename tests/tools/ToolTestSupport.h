// ToolTestSupport: what the process tests of dhcp-eval's exchange modes
// share: the bundled examples, and the JSON lines a run printed.
//
//   CCommandResult r = runDhcpEval(dir, {"--json", "--packet", example("x.pcap"), "--", "$XID"});
//   std::vector<CJson> objects = jsonLines(r.out);
#pragma once

#include <string>
#include <vector>

#include "tools/CommandRunner.h"
#include "tools/JsonReader.h"

namespace qvt::test {

// example: the path of a file of examples/.
inline std::string example(const std::string& name) {
  return std::string(DHCP_EVAL_SOURCE_DIR) + "/examples/" + name;
}

// jsonLines: every line of text parsed.
inline std::vector<CJson> jsonLines(const std::string& text) {
  std::vector<CJson> objects;
  for (const std::string& line : lines(text)) {
    if (!line.empty()) objects.push_back(parseJson(line));
  }
  return objects;
}

// typedValue: "type value" of an expression's JSON object, or "error: text".
inline std::string typedValue(const CJson& object) {
  if (const CJson* error = object.find("error")) return "error: " + error->at("text").text;
  return object.at("type").text + " " + object.at("value").text;
}

}  // namespace qvt::test
