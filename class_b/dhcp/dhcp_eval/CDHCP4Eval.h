// CDHCP4Eval: the evaluator of DHCPv4 exchanges.
//
// Beside the engine's built-in functions it knows 44 names that read the
// received message, the reply, the node, the vendor tables, the provisioner
// and the key-value records (the contexts' rules are CDHCPEvalBase's):
//
//   $HWADDR == '00-11-22-33-44-55'            header fields: $HWADDR $HTYPE $HLEN
//                                             $HOPS $SECS $XID $COOKIE $BOOTFILE
//                                             $RELAY.ADDRESS (giaddr)
//   $STARTSWITH($CLASSID, 'docsis')           options: $HOSTNAME (12)
//                                             $VENDORSPECIFIC (43) $CLASSID (60)
//                                             $CLIENTID (61) $USERCLASS (77)
//   $RELAY.CIRCUITID == 'port1'               82/1 ($RELAY.CID too), 82/2
//                                             $RELAY.REMOTEID ($RELAY.RID),
//                                             82/4 $RELAY.DEVICECLASS, 82/6 $RELAY.SID
//   $INP('82/1'), $INP(51), $INP(3, 1)        any option element by path [, index]
//   $OUTP(51), $OUTP.YIADDR                   the reply as it stands
//   $IS_DISCOVER $IS_REQUEST $IS_DECLINE      the message type (option 53)
//   $IS_RELEASE $IS_INFORM $IS_LEASEQUERY
//   $BOOTP                                    true without option 53
//   $CM, $MTA                                 option 60 begins with "docsis" / "pktc"
//   $DEVICE.VENDORID $DEVICE.TYPEID           the vendor of option 60 (or of the
//   $VENDOR.ID $DEVICE.DESCRIPTION            argument's text); unknown when none
//   $DEVICE.ID $SERVER.IP                     the node's device id, server address
//   $PROV.RULE(n) $PROV.ENABLED(flag)         the provisioner
//   $PROV.ACCNAME                             the node's account name
//   $DB.KEYVALUE(class, subclass, key)        stored values, every match appended
//   $DB.KEYVALUE.EXISTS(class, subclass, key, answer)
//
// Values are those of the option's type (an ip address, a byte sequence, an
// integer, ...); an absent option is the unknown value. Names ignore
// arguments they do not use. Failures:
// - $IS_* without option 53: "Cannot find option 53." ("Option does not
//   exist."); an invalid type number: "Cannot set dhcpv4 message type.".
// - "Cannot execute function $INP()." ("Not enough arguments.", operation
//   "CDHCP4Eval::_inp"; $INP_HAS is $INP), "... $OUTP()." ("CDHCP4Eval::_outp"),
//   "... $PROV.RULE()." ("CDHCP4Eval::_provisionerRule"), "... $PROV.ENABLED()."
//   ("CDHCP4Eval::_provisionerPersistEnabled"), "... $PROV.ACCNAME()." ("Too many
//   arguments.", "CDHCP4Eval::_provisionerAccountName"), "... $DB.KEYVALUE()."
//   ("CDHCP4Eval::_dbvalue") and "... $DB.KEYVALUE.EXISTS()."
//   ("CDHCP4Eval::_dbvalue_exists") with "Not enough arguments." / "Too many
//   arguments.", and the host reasons of CDHCPEvalBase; module "dhcp_eval".
// - Conversions, path texts, element access, the provisioner and the store
//   raise their own errors. $CM and $MTA never fail on option 60 (false);
//   the vendor names never fail (unknown).
#pragma once

#include "class_b/dhcp/dhcp_eval/CDHCPEvalBase.h"

namespace qvt {

class CDHCP4Eval final : public CDHCPEvalBase {
 public:
  // CDHCP4Eval: an evaluator for the exchange of nodeContext (the received
  // message) and outputContext (the reply); neither is owned, either may be
  // null (see CDHCPEvalBase).
  CDHCP4Eval(CProtocolContext& protocolContext, CNodeContext* nodeContext,
             COutputContext* outputContext);
  ~CDHCP4Eval() override;

 private:
  // _functions: the 44 names, built once for every DHCPv4 evaluator.
  static const CFunctionTable& _functions();

  static void _inp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _inpHas(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _outp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _bootp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _cm(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _mta(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  template <std::uint8_t kType>
  static void _isMessageType(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _dbvalue(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _dbvalue_exists(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments);
  static void _deviceVendorId(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments);
  static void _deviceTypeId(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _deviceDescription(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments);
  static void _deviceId(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _provisionerRule(CExpEval& evaluator, CMultiVariant& results,
                               CMultiVariant& arguments);
  static void _provisionerPersistEnabled(CExpEval& evaluator, CMultiVariant& results,
                                         CMultiVariant& arguments);
  static void _provisionerAccountName(CExpEval& evaluator, CMultiVariant& results,
                                      CMultiVariant& arguments);

  // _messageType: the type number of the received message (option 53).
  static std::uint8_t _messageType(CExpEval& evaluator);
};

}  // namespace qvt
