#include "class_b/dhcp/dhcp_eval/CDHCP6Eval.h"

#include <string>

#include "class_a/standard/CException.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

namespace qvt {

namespace {

constexpr std::uint32_t kHopCount = static_cast<std::uint32_t>(-254);
constexpr std::uint32_t kTransactionId = static_cast<std::uint32_t>(-255);
constexpr std::uint32_t kClientIdOption = 1;
constexpr std::uint32_t kVendorClassOption = 16;
constexpr std::uint32_t kEnterpriseNumber = 1;  // 16/1
constexpr std::uint32_t kVendorClassData = 2;   // 16/2

constexpr CDHCPCall kInp{"CDHCP6Eval::_inp", "Cannot execute function $INP()."};
constexpr CDHCPCall kOutp{"CDHCP6Eval::_outp", "Cannot execute function $OUTP()."};
constexpr CDHCPCall kDbValue{"CDHCP6Eval::_dbvalue", "Cannot execute function $DB.KEYVALUE()."};
constexpr CDHCPCall kDbValueExists{"CDHCP6Eval::_dbvalue_exists",
                                   "Cannot execute function $DB.KEYVALUE.EXISTS()."};
constexpr CDHCPCall kProvisionerRule{"CDHCP6Eval::_provisionerRule",
                                     "Cannot execute function $PROV.RULE()."};
constexpr CDHCPCall kProvisionerPersistEnabled{"CDHCP6Eval::_provisionerPersistEnabled",
                                               "Cannot execute function $PROV.ENABLED()."};
constexpr CDHCPCall kProvisionerAccountName{"CDHCP6Eval::_provisionerAccountName",
                                            "Cannot execute function $PROV.ACCNAME()."};

}  // namespace

CDHCP6Eval::CDHCP6Eval(CProtocolContext& protocolContext, CNodeContext* nodeContext,
                       COutputContext* outputContext)
    : CDHCPEvalBase(protocolContext, nodeContext, outputContext, _functions()) {}

CDHCP6Eval::~CDHCP6Eval() = default;

const CExpEval::CFunctionTable& CDHCP6Eval::_functions() {
  static const CFunctionTable table = makeFunctionTable({
      {"INP", &_inp},
      {"OUTP", &_outp},
      {"CLIENTID", &_incoming<kClientIdOption>},
      {"HOPS", &_incoming<kHopCount>},
      {"XID", &_incoming<kTransactionId>},
      {"DB.KEYVALUE", &_dbvalue},
      {"DB.KEYVALUE.EXISTS", &_dbvalue_exists},
      {"CM", &_cm},
      {"MTA", &_mta},
      {"CLASSID", &_incoming<kVendorClassOption, kVendorClassData>},
      {"SERVER.IP", &_serverIp},
      {"DEVICE.ID", &_incoming<kClientIdOption>},
      {"DEVICE.VENDORID", &_deviceVendorId},
      {"DEVICE.TYPEID", &_deviceTypeId},
      {"DEVICE.DESCRIPTION", &_deviceDescription},
      {"PROV.RULE", &_provisionerRule},
      {"PROV.ENABLED", &_provisionerPersistEnabled},
      {"PROV.ACCNAME", &_provisionerAccountName},
  });
  return table;
}

void CDHCP6Eval::_inp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _readOption(evaluator, results, arguments, kInp, CDirection::kIncoming);
}

void CDHCP6Eval::_outp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _readOption(evaluator, results, arguments, kOutp, CDirection::kOutgoing);
}

void CDHCP6Eval::_dbvalue(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _queryValues(evaluator, results, arguments, kDbValue, CRecords::kFirst);
}

void CDHCP6Eval::_dbvalue_exists(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments) {
  _queryExists(evaluator, results, arguments, kDbValueExists);
}

void CDHCP6Eval::_cm(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_vendorClassTest(evaluator, _fixedPath<kVendorClassOption>(), "docsis")));
}

void CDHCP6Eval::_mta(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_vendorClassTest(evaluator, _fixedPath<kVendorClassOption>(), "pktc")));
}

void CDHCP6Eval::_deviceVendorId(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments) {
  if (!arguments.empty()) {
    _appendVendorByClass(evaluator, results, arguments, _fixedPath<kVendorClassOption>(),
                         CVendorField::kEnterpriseNumber);
    return;
  }
  // Without an argument the number the client sent is the answer, whether
  // or not a vendor with that number is configured.
  CVariant value;
  try {
    CGeneralPtr<COption> enterprise;
    _message(evaluator, CDirection::kIncoming)
        ->fill(_fixedPath<kVendorClassOption, kEnterpriseNumber>(), enterprise, -1, kAnyType, 0);
    if (!enterprise.isNull()) {
      value = CVariant(static_cast<std::int64_t>(CValueTypeConverter(enterprise).toUInt32(0)));
    }
  } catch (const CException&) {
    value.reset();
  }
  results.append(std::move(value));
}

void CDHCP6Eval::_deviceTypeId(CExpEval& evaluator, CMultiVariant& results,
                               CMultiVariant& arguments) {
  _appendVendorByNumber(evaluator, results, arguments, CVendorField::kVendorId);
}

void CDHCP6Eval::_deviceDescription(CExpEval& evaluator, CMultiVariant& results,
                                    CMultiVariant& arguments) {
  _appendVendorByNumber(evaluator, results, arguments, CVendorField::kDescription);
}

void CDHCP6Eval::_appendVendorByNumber(CExpEval& evaluator, CMultiVariant& results,
                                       CMultiVariant& arguments, CVendorField field) {
  CVariant value;
  try {
    std::int32_t number = 0;
    std::string classText;
    bool known = true;
    if (!arguments.empty()) {
      number = static_cast<std::int32_t>(arguments.current().integer());
      arguments.advance();
      if (!arguments.empty()) classText = arguments.current().string();
    } else {
      const CGeneralPtr<COption> message = _message(evaluator, CDirection::kIncoming);
      CGeneralPtr<COption> option;
      CGeneralPtr<COption> enterprise;
      CGeneralPtr<COption> data;
      known =
          message->tryGet(_fixedPath<kVendorClassOption>(), option, kAnyType, 0) &&
          message->tryGet(_fixedPath<kVendorClassOption, kEnterpriseNumber>(), enterprise, kAnyType,
                          0) &&
          message->tryGet(_fixedPath<kVendorClassOption, kVendorClassData>(), data, kAnyType, 0);
      if (known) {
        number = static_cast<std::int32_t>(CValueTypeConverter(enterprise).toUInt32(0));
        if (data->count() > 0) classText = CValueTypeConverter(data).toString(0);
      }
    }
    const CVendorLookup* lookup = _vendorLookup(evaluator);
    if (known && lookup != nullptr) value = _vendorValue(lookup->find(number, classText), field);
  } catch (const CException&) {
    value.reset();
  }
  results.append(std::move(value));
}

void CDHCP6Eval::_provisionerRule(CExpEval& evaluator, CMultiVariant& results,
                                  CMultiVariant& arguments) {
  _evaluateRule(evaluator, results, arguments, kProvisionerRule);
}

void CDHCP6Eval::_provisionerPersistEnabled(CExpEval& evaluator, CMultiVariant& results,
                                            CMultiVariant& arguments) {
  _setPersistEnabled(evaluator, results, arguments, kProvisionerPersistEnabled);
}

void CDHCP6Eval::_provisionerAccountName(CExpEval& evaluator, CMultiVariant& results,
                                         CMultiVariant& arguments) {
  _appendAccountName(evaluator, results, arguments, kProvisionerAccountName);
}

}  // namespace qvt
