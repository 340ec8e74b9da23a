#include "tools/dhcp-eval/PacketCommand.h"

#include <cctype>
#include <iostream>
#include <memory>

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/CDHCP4MsgType.h"
#include "class_b/dhcp/dhcp_base/COptionType.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "tools/dhcp-eval/CClassFile.h"
#include "tools/dhcp-eval/CEvalCommand.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/CPacketSource.h"
#include "tools/dhcp-eval/ExceptionJson.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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

// messageType: the message type as a user names it.
std::string messageType(int family, const CGeneralPtr<COption>& root) {
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

// client: the client's hardware address (DHCPv4) or identifier (DHCPv6).
std::string client(int family, const CGeneralPtr<COption>& root) {
  try {
    const std::optional<CVariant> id =
        firstElement(root, family == 6 ? kDhcp6ClientId : kDhcp4Chaddr);
    return id ? id->string() : "-";
  } catch (const CException&) {
    return "-";
  }
}

void printFailure(const std::string& what, const CException& e) {
  std::cout.flush();
  std::cerr << "dhcp-eval: " << what << printableText(e.text()) << std::endl;
}

// CClassifier: the --classes output.
class CClassifier {
 public:
  CClassifier(const CClassFile& classes, bool json) : classes_(classes), json_(json) {}

  // check: compiles every class once, so that one that cannot compile stops
  // the run before any output. Raises "Class '%1' (line %2) does not
  // compile." with the compiler's error as the reason.
  void check(CExpEval& evaluator) const {
    for (const CClassFile::CClass& entry : classes_.classes()) {
      try {
        evaluator.compile(entry.expression);
      } catch (const CException& e) {
        fail(CRaiser::none(), "dhcp-eval", "CClassifier::check",
             {"Class '%1' (line %2) does not compile.", entry.name, entry.line}, e.text());
      }
    }
  }

  void classify(std::uint64_t frame, int family, const CGeneralPtr<COption>& request,
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
      std::cout << json.text() << '\n';
      return;
    }
    std::string line =
        "frame " + std::to_string(frame) + " " + type + " " + printableText(id) + ":";
    for (const std::string& name : members)
      line += " " + name;
    if (members.empty()) line += " (none)";
    for (const auto& [name, e] : errors)
      line += "; error: " + name + ": " + printableText(e.text());
    std::cout << line << '\n';
  }

  void packetFailed(std::uint64_t frame, const CException& e) {
    ++failures_;
    if (!json_) {
      std::cout << "frame " << frame << ": error: " << printableText(e.text()) << '\n';
      return;
    }
    CJsonWriter json;
    json.beginObject().member("frame", frame).key("error");
    writeException(json, e);
    json.endObject();
    std::cout << json.text() << '\n';
  }

  std::size_t failures() const { return failures_; }

 private:
  const CClassFile& classes_;
  bool json_;
  std::size_t failures_ = 0;
};

}  // namespace

CGeneralPtr<COption> readReply(const CToolServer& server, const std::string& file,
                               std::optional<std::uint64_t> frame) {
  if (file.empty()) return server.emptyMessage();
  CPacketSource source(file, server.family(), frame);
  CPacket reply;
  if (!source.next(reply)) throw source.noPacketError();
  CPacket another;
  if (!frame && source.next(another)) {
    fail(CRaiser::none(), "dhcp-eval", "readReply",
         {"'%1' holds more than one %2 message.", file, CPacketSource::familyName(server.family())},
         "Choose one with --reply-frame.");
  }
  return server.decode(reply.payload);
}

int runPackets(CToolServer& server, const CPacketOptions& options) {
  const int family = server.family();
  std::unique_ptr<CPacketSource> source;
  std::unique_ptr<CClassFile> classes;
  std::unique_ptr<CClassifier> classifier;
  CGeneralPtr<COption> reply;
  // Everything the command line names is read before the first packet, so
  // that a usage error never follows partial output.
  try {
    reply = readReply(server, options.replyFile, options.replyFrame);
    if (!options.classesFile.empty()) {
      classes = std::make_unique<CClassFile>(CClassFile::readFile(options.classesFile));
      classifier = std::make_unique<CClassifier>(*classes, options.json);
      const std::unique_ptr<host::CHostExchange> probe =
          server.exchange(server.emptyMessage(), server.emptyMessage());
      classifier->check(*probe->evaluator());
    }
    source = std::make_unique<CPacketSource>(options.packetFile, family, options.frame);
  } catch (const CException& e) {
    printFailure("", e);
    return kExitUsage;
  }

  CEvalCommand command(CEvalCommand::COptions{options.json, options.trace}, std::cout, std::cerr);
  try {
    CPacket packet;
    while (source->next(packet)) {
      CGeneralPtr<COption> request;
      try {
        request = server.decode(packet.payload);
      } catch (const CException& e) {
        if (classifier) {
          classifier->packetFailed(packet.frame, e);
        } else {
          command.packetFailed(packet.frame, e);
        }
        continue;
      }
      const std::unique_ptr<host::CHostExchange> exchange = server.exchange(request, reply);
      const CGeneralPtr<CExpEval> evaluator = exchange->evaluator();
      if (classifier) {
        classifier->classify(packet.frame, family, request, *evaluator);
        continue;
      }
      for (const std::string& expression : options.expressions)
        command.evaluate(*evaluator, expression, packet.frame);
    }
    if (source->delivered() == 0) throw source->noPacketError();
  } catch (const CException& e) {
    // A capture damaged further on, or no message of the family at all.
    printFailure("", e);
    return source->delivered() == 0 ? kExitUsage : kExitFailed;
  }
  std::cout.flush();
  const std::size_t failures = classifier ? classifier->failures() : command.failures();
  return failures == 0 ? kExitOk : kExitFailed;
}

}  // namespace qvt::tool
