#include "class_b/dhcp/dhcp_eval/CDHCP4Eval.h"

#include "class_b/dhcp/dhcp_base/CDHCP4MsgType.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

namespace qvt {

namespace {

// field: the code of a BOOTP header field, negative as a signed number.
constexpr std::uint32_t field(std::int32_t code) {
  return static_cast<std::uint32_t>(code);
}

constexpr std::uint32_t kYiaddr = field(-19);
constexpr std::uint32_t kGiaddr = field(-21);
constexpr std::uint32_t kSecs = field(-24);
constexpr std::uint32_t kHtype = field(-26);
constexpr std::uint32_t kHlen = field(-27);
constexpr std::uint32_t kHops = field(-28);
constexpr std::uint32_t kXid = field(-29);
constexpr std::uint32_t kChaddr = field(-30);
constexpr std::uint32_t kCookie = field(-31);
constexpr std::uint32_t kFile = field(-32);

constexpr std::uint32_t kMessageTypeOption = 53;
constexpr std::uint32_t kVendorClassOption = 60;
constexpr std::uint32_t kRelayAgentOption = 82;

constexpr CDHCPCall kInp{"CDHCP4Eval::_inp", "Cannot execute function $INP()."};
constexpr CDHCPCall kOutp{"CDHCP4Eval::_outp", "Cannot execute function $OUTP()."};
constexpr CDHCPCall kDbValue{"CDHCP4Eval::_dbvalue", "Cannot execute function $DB.KEYVALUE()."};
constexpr CDHCPCall kDbValueExists{"CDHCP4Eval::_dbvalue_exists",
                                   "Cannot execute function $DB.KEYVALUE.EXISTS()."};
constexpr CDHCPCall kProvisionerRule{"CDHCP4Eval::_provisionerRule",
                                     "Cannot execute function $PROV.RULE()."};
constexpr CDHCPCall kProvisionerPersistEnabled{"CDHCP4Eval::_provisionerPersistEnabled",
                                               "Cannot execute function $PROV.ENABLED()."};
constexpr CDHCPCall kProvisionerAccountName{"CDHCP4Eval::_provisionerAccountName",
                                            "Cannot execute function $PROV.ACCNAME()."};

}  // namespace

CDHCP4Eval::CDHCP4Eval(CProtocolContext& protocolContext, CNodeContext* nodeContext,
                       COutputContext* outputContext)
    : CDHCPEvalBase(protocolContext, nodeContext, outputContext, _functions()) {}

CDHCP4Eval::~CDHCP4Eval() = default;

const CExpEval::CFunctionTable& CDHCP4Eval::_functions() {
  static const CFunctionTable table = makeFunctionTable({
      {"INP", &_inp},
      {"OUTP", &_outp},
      {"INP_HAS", &_inpHas},
      {"BOOTP", &_bootp},
      {"HWADDR", &_incoming<kChaddr>},
      {"HTYPE", &_incoming<kHtype>},
      {"HLEN", &_incoming<kHlen>},
      {"HOPS", &_incoming<kHops>},
      {"SECS", &_incoming<kSecs>},
      {"XID", &_incoming<kXid>},
      {"COOKIE", &_incoming<kCookie>},
      {"HOSTNAME", &_incoming<12>},
      {"BOOTFILE", &_incoming<kFile>},
      {"VENDORSPECIFIC", &_incoming<43>},
      {"CLASSID", &_incoming<kVendorClassOption>},
      {"CLIENTID", &_incoming<61>},
      {"USERCLASS", &_incoming<77>},
      {"RELAY.ADDRESS", &_incoming<kGiaddr>},
      {"RELAY.CIRCUITID", &_incoming<kRelayAgentOption, 1>},
      {"RELAY.CID", &_incoming<kRelayAgentOption, 1>},
      {"RELAY.REMOTEID", &_incoming<kRelayAgentOption, 2>},
      {"RELAY.RID", &_incoming<kRelayAgentOption, 2>},
      {"RELAY.DEVICECLASS", &_incoming<kRelayAgentOption, 4>},
      {"RELAY.SID", &_incoming<kRelayAgentOption, 6>},
      {"CM", &_cm},
      {"MTA", &_mta},
      {"OUTP.YIADDR", &_outgoing<kYiaddr>},
      {"IS_DISCOVER", &_isMessageType<CDHCP4MsgType::eDiscover>},
      {"IS_REQUEST", &_isMessageType<CDHCP4MsgType::eRequest>},
      {"IS_RELEASE", &_isMessageType<CDHCP4MsgType::eRelease>},
      {"IS_INFORM", &_isMessageType<CDHCP4MsgType::eInform>},
      {"IS_DECLINE", &_isMessageType<CDHCP4MsgType::eDecline>},
      {"IS_LEASEQUERY", &_isMessageType<CDHCP4MsgType::eLeaseQuery>},
      {"DB.KEYVALUE", &_dbvalue},
      {"DB.KEYVALUE.EXISTS", &_dbvalue_exists},
      {"DEVICE.VENDORID", &_deviceVendorId},
      {"DEVICE.TYPEID", &_deviceTypeId},
      {"DEVICE.DESCRIPTION", &_deviceDescription},
      {"DEVICE.ID", &_deviceId},
      {"SERVER.IP", &_serverIp},
      {"PROV.RULE", &_provisionerRule},
      {"PROV.ENABLED", &_provisionerPersistEnabled},
      {"PROV.ACCNAME", &_provisionerAccountName},
      {"VENDOR.ID", &_deviceTypeId},
  });
  return table;
}

void CDHCP4Eval::_inp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _readOption(evaluator, results, arguments, kInp, CDirection::kIncoming);
}

void CDHCP4Eval::_inpHas(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _inp(evaluator, results, arguments);
}

void CDHCP4Eval::_outp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _readOption(evaluator, results, arguments, kOutp, CDirection::kOutgoing);
}

void CDHCP4Eval::_bootp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  const bool typed = _message(evaluator, CDirection::kIncoming)
                         ->contains(_fixedPath<kMessageTypeOption>(), kAnyType, 0);
  results.append(CVariant(!typed));
}

void CDHCP4Eval::_cm(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_vendorClassTest(evaluator, _fixedPath<kVendorClassOption>(), "docsis")));
}

void CDHCP4Eval::_mta(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_vendorClassTest(evaluator, _fixedPath<kVendorClassOption>(), "pktc")));
}

template <std::uint8_t kType>
void CDHCP4Eval::_isMessageType(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_messageType(evaluator) == kType));
}

std::uint8_t CDHCP4Eval::_messageType(CExpEval& evaluator) {
  const CTagPath& path = _fixedPath<kMessageTypeOption>();
  // An 8-bit option 53 is read in place; anything else (no message, no
  // option 53, another type) takes the way of get and a converter, which
  // raise or convert as they do. No presence test first: a message without
  // option 53 fails in get.
  if (const COption* root = _incomingRoot(evaluator)) {
    const COption* option = root->find(path, -1, kAnyType, 0);
    if (option != nullptr && option->typeCode() == COptionType::e8bit && option->count() > 0) {
      return CDHCP4MsgType(option->storage<std::uint8_t>()[0]).value();
    }
  }
  const CGeneralPtr<COption> option =
      _message(evaluator, CDirection::kIncoming)->get(path, kAnyType, 0);
  return CDHCP4MsgType(CValueTypeConverter(option).toUInt8(0)).value();
}

void CDHCP4Eval::_dbvalue(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  _queryValues(evaluator, results, arguments, kDbValue, CRecords::kEvery);
}

void CDHCP4Eval::_dbvalue_exists(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments) {
  _queryExists(evaluator, results, arguments, kDbValueExists);
}

void CDHCP4Eval::_deviceVendorId(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments) {
  _appendVendorByClass(evaluator, results, arguments, _fixedPath<kVendorClassOption>(),
                       CVendorField::kEnterpriseNumber);
}

void CDHCP4Eval::_deviceTypeId(CExpEval& evaluator, CMultiVariant& results,
                               CMultiVariant& arguments) {
  _appendVendorByClass(evaluator, results, arguments, _fixedPath<kVendorClassOption>(),
                       CVendorField::kVendorId);
}

void CDHCP4Eval::_deviceDescription(CExpEval& evaluator, CMultiVariant& results,
                                    CMultiVariant& arguments) {
  _appendVendorByClass(evaluator, results, arguments, _fixedPath<kVendorClassOption>(),
                       CVendorField::kDescription);
}

void CDHCP4Eval::_deviceId(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_self(evaluator).nodeContext()->deviceId()));
}

void CDHCP4Eval::_provisionerRule(CExpEval& evaluator, CMultiVariant& results,
                                  CMultiVariant& arguments) {
  _evaluateRule(evaluator, results, arguments, kProvisionerRule);
}

void CDHCP4Eval::_provisionerPersistEnabled(CExpEval& evaluator, CMultiVariant& results,
                                            CMultiVariant& arguments) {
  _setPersistEnabled(evaluator, results, arguments, kProvisionerPersistEnabled);
}

void CDHCP4Eval::_provisionerAccountName(CExpEval& evaluator, CMultiVariant& results,
                                         CMultiVariant& arguments) {
  _appendAccountName(evaluator, results, arguments, kProvisionerAccountName);
}

}  // namespace qvt
