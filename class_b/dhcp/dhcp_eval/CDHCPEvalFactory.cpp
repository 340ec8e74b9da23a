#include "class_b/dhcp/dhcp_eval/CDHCPEvalFactory.h"

#include <typeinfo>

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_eval/CDHCP4Eval.h"
#include "class_b/dhcp/dhcp_eval/CDHCP6Eval.h"
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

CGeneralPtr<CExpEval> CDHCPEvalFactory::instance(CProtocolContext& protocolContext,
                                                 CNodeContext* nodeContext,
                                                 COutputContext* outputContext) {
  switch (protocolContext.protocolFamily().code()) {
    case CProtocolFamily::kIPv4:
      return CGeneralPtr<CExpEval>(new CDHCP4Eval(protocolContext, nodeContext, outputContext));
    case CProtocolFamily::kIPv6:
      return CGeneralPtr<CExpEval>(new CDHCP6Eval(protocolContext, nodeContext, outputContext));
    default:
      break;
  }
  // Errors name the factory by the type of a pointer to it.
  fail(CRaiser::named(typeName(typeid(this)), this), "dhcp_eval", "CDHCPEvalFactoryPtr::instance",
       "Cannot create an evaluator instance.", "Unknown protocol family.");
}

}  // namespace qvt
