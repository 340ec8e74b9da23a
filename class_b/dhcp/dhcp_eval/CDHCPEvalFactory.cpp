#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"

#include <typeinfo>

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

namespace qvt {

CIDHCPEvalFactory::~CIDHCPEvalFactory() = default;

CDHCPEvalFactory::~CDHCPEvalFactory() = default;

bool CDHCPEvalFactory::prepare(const CPluginList&) {
  return true;
}

std::int32_t CDHCPEvalFactory::initialize() {
  return 0;
}

void CDHCPEvalFactory::finalize() {}

void CDHCPEvalFactory::configure() {}

void CDHCPEvalFactory::reconfigure() {}

std::string CDHCPEvalFactory::name() const {
  return "Expression Evaluator";
}

std::int32_t CDHCPEvalFactory::version() const {
  return 1;
}

std::string CDHCPEvalFactory::types() const {
  return "CIDHCPEvalFactory,CPlugin";
}

std::string CDHCPEvalFactory::dependencies() const {
  return "CISystemBusFactory";
}

CGeneralPtr<CExpEval> CDHCPEvalFactory::instance(CProtocolContext& protocolContext, CNodeContext*,
                                                 COutputContext*) {
  // Errors name the factory by the type of a pointer to it.
  const CRaiser raiser = CRaiser::named(typeName(typeid(this)), this);
  const std::uint32_t family = protocolContext.protocolFamily().code();
  if (family != CProtocolFamily::kIPv4 && family != CProtocolFamily::kIPv6) {
    fail(raiser, "dhcp_eval", "CDHCPEvalFactoryPtr::instance",
         "Cannot create an evaluator instance.", "Unknown protocol family.");
  }
  // The DHCPv4 and DHCPv6 evaluators are not part of this module yet.
  fail(raiser, "dhcp_eval", "CDHCPEvalFactoryPtr::instance", "Cannot create an evaluator instance.",
       "Evaluator for this protocol family is not available.");
}

}  // namespace qvt
