// CDHCP6Eval: the evaluator of DHCPv6 exchanges.
//
// Beside the engine's built-in functions it knows 18 names (the contexts'
// rules are CDHCPEvalBase's). A relayed message reads like the client's own
// message, so these names see the client's fields wherever it was relayed:
//
//   $CLIENTID, $DEVICE.ID                  option 1 (the client's DUID)
//   $HOPS                                  the outermost relay's hop count (-254)
//   $XID                                   the transaction id (-255)
//   $CLASSID                               16/2, the vendor class data
//   $CM, $MTA                              option 16 begins with "docsis" / "pktc"
//   $DEVICE.VENDORID                       16/1, the enterprise number (no lookup);
//                                          with an argument: by the vendor lookup
//                                          of the argument's class text
//   $DEVICE.TYPEID, $DEVICE.DESCRIPTION    the vendor of 16/1 and 16/2, or of the
//                                          arguments (number [, class text])
//   $INP(path [, index]), $OUTP(...)       any option element of message or reply
//   $SERVER.IP, $PROV.RULE, $PROV.ENABLED, $PROV.ACCNAME
//   $DB.KEYVALUE(class, subclass, key)     the first matching stored value only
//   $DB.KEYVALUE.EXISTS(class, subclass, key, answer)
//
// The DHCPv4 names ($HWADDR, $IS_DISCOVER, $VENDOR.ID, $INP_HAS, ...) are
// unknown functions here. Failures are those of CDHCP4Eval with the
// operations "CDHCP6Eval::_inp", "CDHCP6Eval::_outp",
// "CDHCP6Eval::_provisionerRule", "CDHCP6Eval::_provisionerPersistEnabled",
// "CDHCP6Eval::_provisionerAccountName", "CDHCP6Eval::_dbvalue" and
// "CDHCP6Eval::_dbvalue_exists"; $CM and $MTA never fail on option 16
// (false) and the vendor names never fail (unknown).
#pragma once

#include "class_b/dhcp/dhcp_eval/CDHCPEvalBase.h"

namespace qvt {

class CDHCP6Eval final : public CDHCPEvalBase {
 public:
  // CDHCP6Eval: as CDHCP4Eval, for DHCPv6.
  CDHCP6Eval(CProtocolContext& protocolContext, CNodeContext* nodeContext,
             COutputContext* outputContext);
  ~CDHCP6Eval() override;

 private:
  // _functions: the 18 names, built once for every DHCPv6 evaluator.
  static const CFunctionTable& _functions();

  static void _inp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _outp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _dbvalue(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _dbvalue_exists(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments);
  static void _cm(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _mta(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _deviceVendorId(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments);
  static void _deviceTypeId(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _deviceDescription(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments);
  static void _provisionerRule(CExpEval& evaluator, CMultiVariant& results,
                               CMultiVariant& arguments);
  static void _provisionerPersistEnabled(CExpEval& evaluator, CMultiVariant& results,
                                         CMultiVariant& arguments);
  static void _provisionerAccountName(CExpEval& evaluator, CMultiVariant& results,
                                      CMultiVariant& arguments);

  // _appendVendorByNumber: the vendor located by enterprise number and class
  // text, from the arguments (number [, class]) or from 16/1 and 16/2 of the
  // received message. Any CException gives the unknown value.
  static void _appendVendorByNumber(CExpEval& evaluator, CMultiVariant& results,
                                    CMultiVariant& arguments, CVendorField field);
};

}  // namespace qvt
