#include "tools/dhcp-eval/CClassFile.h"

#include <set>

#include "class_a/standard/Fail.h"
#include "host/exchange/AssignmentFile.h"

namespace qvt::tool {

namespace {

constexpr const char* kParseOperation = "CClassFile::parse";

bool isClassName(const std::string& name) {
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit && c != '-' && c != '_' && c != '.') return false;
  }
  return !name.empty();
}

}  // namespace

CClassFile CClassFile::parse(const std::string& text, const std::string& name) {
  const CMessage description("Cannot read class file '%1'.", name);
  const auto refuse = [&](const CMessage& reason) {
    fail(CRaiser::none(), "dhcp-eval", kParseOperation, description, reason);
  };
  CClassFile file;
  std::set<std::string> seen;
  for (const host::CAssignment& line :
       host::parseAssignments(text, {"dhcp-eval", kParseOperation, description})) {
    if (!isClassName(line.name)) {
      refuse({"Line %1: '%2' is not a class name (letters, digits, '-', '_' and '.').", line.line,
              line.name});
    }
    if (line.value.empty()) {
      refuse({"Line %1: class '%2' has no expression.", line.line, line.name});
    }
    if (!seen.insert(line.name).second) {
      refuse({"Line %1: class '%2' is defined twice.", line.line, line.name});
    }
    file.classes_.push_back(CClass{line.name, line.value, line.line});
  }
  if (file.classes_.empty()) refuse("The file defines no class.");
  return file;
}

CClassFile CClassFile::readFile(const std::string& path) {
  return parse(host::readTextFile(path, "dhcp-eval", "CClassFile::readFile"), path);
}

}  // namespace qvt::tool
