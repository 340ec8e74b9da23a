#include "tools/dhcp-eval/CClassifier.h"

#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/CDHCP4MsgType.h"
#include "class_b/dhcp/dhcp_base/COptionType.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/ExceptionJson.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

namespace {

// The tree's codes of the fields a classification line shows.
constexpr const char* kDhcp4Op = "0xfffffff0";
constexpr const char* kDhcp4Chaddr = "0xffffffe2";
constexpr const char* kDhcp4MessageType = "53";
constexpr const char* kDhcp6MessageType = "0xffffff03";
constexpr const char* kDhcp6ClientId = "1";

// firstElement: element 0 of the option at path, or nullopt when the
// message has none (or it has no element).
std::optional<CVariant> firstElement(const CGeneralPtr<COption>& root, const char* path) {
  const CTagPath tagPath(path);
  CGeneralPtr<COption> option;
  if (!root->tryGet(tagPath, option, COptionType(), 0) || !option || option->count() == 0) {
    return std::nullopt;
  }
  return CValueTypeConverter(option).variant(0);
}

std::string upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string dhcp6TypeName(std::uint64_t code) {
  static const char* const kNames[] = {
      "",           "SOLICIT",    "ADVERTISE",   "REQUEST",
      "CONFIRM",    "RENEW",      "REBIND",      "REPLY",
      "RELEASE",    "DECLINE",    "RECONFIGURE", "INFORMATION-REQUEST",
      "RELAY-FORW", "RELAY-REPL", "LEASEQUERY",  "LEASEQUERY-REPLY"};
  if (code > 0 && code < sizeof kNames / sizeof kNames[0]) return kNames[code];
  return "TYPE-" + std::to_string(code);
}

}  // namespace

CClassifier::CClassifier(const CClassFile& classes, bool json, std::ostream& out)
    : classes_(classes), json_(json), out_(out) {}

void CClassifier::check(CExpEval& evaluator) const {
  for (const CClassFile::CClass& entry : classes_.classes()) {
    try {
      evaluator.compile(entry.expression);
    } catch (const CException& e) {
      fail(CRaiser::of(*this), "dhcp-eval", "CClassifier::check",
           {"Class '%1' (line %2) does not compile.", entry.name, entry.line}, e.text());
    }
  }
}

void CClassifier::classify(std::uint64_t frame, int family, const CGeneralPtr<COption>& request,
                           CExpEval& evaluator) {
  std::vector<std::string> members;
  std::vector<std::pair<std::string, CException>> errors;
  CVariant value;
  for (const CClassFile::CClass& entry : classes_.classes()) {
    try {
      evaluator.execute(value, evaluator.compile(entry.expression));
      if (value.isKnown() && value.boolean()) members.push_back(entry.name);
    } catch (const CException& e) {
      errors.emplace_back(entry.name, e);
    }
  }
  if (!errors.empty()) ++failures_;
  const std::string type = messageType(family, request);
  const std::string id = client(family, request);
  if (json_) {
    CJsonWriter json;
    json.beginObject().member("frame", frame).member("type", type).member("client", id);
    json.key("classes").beginArray();
    for (const std::string& name : members)
      json.value(name);
    json.endArray().key("errors").beginObject();
    for (const auto& [name, e] : errors) {
      json.key(name);
      writeException(json, e);
    }
    json.endObject().endObject();
    out_ << json.text() << '\n';
    return;
  }
  std::string line = "frame " + std::to_string(frame) + " " + type + " " + printableText(id) + ":";
  for (const std::string& name : members)
    line += " " + name;
  if (members.empty()) line += " (none)";
  for (const auto& [name, e] : errors)
    line += "; error: " + name + ": " + printableText(e.text());
  out_ << line << '\n';
}

void CClassifier::packetFailed(std::uint64_t frame, const CException& e) {
  ++failures_;
  if (!json_) {
    out_ << "frame " << frame << ": error: " << printableText(e.text()) << '\n';
    return;
  }
  CJsonWriter json;
  json.beginObject().member("frame", frame).key("error");
  writeException(json, e);
  json.endObject();
  out_ << json.text() << '\n';
}

std::string CClassifier::messageType(int family, const CGeneralPtr<COption>& root) {
  try {
    if (family == 6) {
      const std::optional<CVariant> type = firstElement(root, kDhcp6MessageType);
      return type ? dhcp6TypeName(type->uinteger()) : "-";
    }
    if (const std::optional<CVariant> type = firstElement(root, kDhcp4MessageType)) {
      const std::uint64_t code = type->uinteger();
      try {
        return upper(CDHCP4MsgType(static_cast<std::int32_t>(code)).string());
      } catch (const CException&) {
        return "TYPE-" + std::to_string(code);
      }
    }
    const std::optional<CVariant> op = firstElement(root, kDhcp4Op);
    return op && op->uinteger() == 2 ? "BOOTREPLY" : "BOOTREQUEST";
  } catch (const CException&) {
    return "-";
  }
}

std::string CClassifier::client(int family, const CGeneralPtr<COption>& root) {
  try {
    const std::optional<CVariant> id =
        firstElement(root, family == 6 ? kDhcp6ClientId : kDhcp4Chaddr);
    return id ? id->string() : "-";
  } catch (const CException&) {
    return "-";
  }
}

}  // namespace qvt::tool
