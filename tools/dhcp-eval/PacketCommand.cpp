#include "tools/dhcp-eval/PacketCommand.h"

#include <iostream>
#include <memory>

#include "class_a/standard/Fail.h"
#include "tools/dhcp-eval/CClassFile.h"
#include "tools/dhcp-eval/CClassifier.h"
#include "tools/dhcp-eval/CEvalCommand.h"
#include "tools/dhcp-eval/CPacketSource.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void printFailure(const CException& e) {
  std::cout.flush();
  std::cerr << "dhcp-eval: " << printableText(e.text()) << std::endl;
}

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
      classifier = std::make_unique<CClassifier>(*classes, options.json, std::cout);
      const std::unique_ptr<host::CHostExchange> probe =
          server.exchange(server.emptyMessage(), server.emptyMessage());
      classifier->check(*probe->evaluator());
    }
    source = std::make_unique<CPacketSource>(options.packetFile, family, options.frame);
  } catch (const CException& e) {
    printFailure(e);
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
    printFailure(e);
    return source->delivered() == 0 ? kExitUsage : kExitFailed;
  }
  std::cout.flush();
  const std::size_t failures = classifier ? classifier->failures() : command.failures();
  return failures == 0 ? kExitOk : kExitFailed;
}

}  // namespace qvt::tool
