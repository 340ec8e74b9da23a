// RulesFileFuzz: arbitrary provisioning rules text (CProvisioningRules), as
// dhcp-eval --rules reads it. When the text is accepted, a DHCPv4 exchange
// with those rules evaluates $PROV.RULE for rules 0 to 9 and 4294967295, so
// rule expressions run, call one another and reach themselves.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "host/CDhcp4Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qvt::fuzz::CFuzzServer server;
  std::shared_ptr<const qvt::host::CProvisioningRules> rules;
  try {
    rules =
        std::make_shared<const qvt::host::CProvisioningRules>(qvt::host::CProvisioningRules::parse(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz"));
  } catch (const qvt::CException&) {
    return 0;
  }
  const auto exchange = server.exchange(4, qvt::makeMessageRoot(4), {}, rules);
  const qvt::CGeneralPtr<qvt::CExpEval> evaluator = qvt::fuzz::CFuzzServer::evaluator(*exchange);
  for (const char* rule : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "4294967295"})
    qvt::fuzz::run(*evaluator, std::string("$PROV.RULE(") + rule + ")");
  return 0;
}
