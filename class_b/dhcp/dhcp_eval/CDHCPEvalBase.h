// CDHCPEvalBase: what the DHCPv4 and DHCPv6 evaluators share: the contexts
// of the exchange, the cache of compiled expressions, and the bodies of the
// DHCP functions. Each evaluator binds these bodies to its own names, option
// paths and operation names ("CDHCP4Eval::_inp", "CDHCP6Eval::_inp") through
// a function table built once per class:
//
//   CDHCP4Eval eval(context, &node, &reply);
//   eval.compile("$INP('82/1')");   // compiled once ...
//   eval.compile("$INP('82/1')");   // ... the same tree again
//
// Reading the messages:
// - In(P, i), the incoming value, is element i of the option at tag path P
//   of the received message (the node context's), converted to a value by
//   the option's type (CValueTypeConverter::variant); Out(P, i) the same on
//   the reply (the output context's outgoingMessage(), asked on every read).
//   An absent option gives the unknown value; an index beyond the option's
//   elements raises "Cannot access element %1 in option %2.".
// - Without an output context, or while it holds no reply (an empty
//   holder), every Out value is the unknown value: nothing exists at any
//   path of a reply that does not exist yet.
// - A null node context makes every In value raise "Cannot dereference
//   pointer." ("Pointee is null.").
//
// Reaching the host:
// - $PROV.RULE and $PROV.ENABLED raise their own description with the reason
//   "No provisioner is available." when the protocol context's provisioner()
//   gives an empty holder.
// - $DB.KEYVALUE and $DB.KEYVALUE.EXISTS raise their own description with
//   the reason "No key-value database is configured." when keyValueStore()
//   is null. Both run the lookup kKeyValueByKeyEnabled with at most
//   CIKeyValueStore::kLookupLimit records.
// - The vendor names give the unknown value when the node has no server
//   object or the server has no vendor lookup, as for any failed lookup.
// - The cipher functions key the cipher with the host context's shared
//   server key on their first use (not when the evaluator is built), so a
//   host without a key is asked for one only when a cipher is used; without
//   a host context they fail with "The cipher has not been keyed.".
//
// Every error raised here has module "dhcp_eval", class name "static" and
// severity error. An evaluator and its trees are used by one thread at a
// time; it reads the contexts without locks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CSTNotOwnerPolicy.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/COptionType.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"
#include "class_b/dhcp/dhcp_base/CVendorLookup.h"
#include "class_b/dhcp/dhcp_eval/CIDHCPEval.h"
#include "class_b/dhcp/dhcp_eval/CNodeContext.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"
#include "class_b/dhcp/dhcp_eval/CPrecompiledExpressions.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

namespace qvt {

class CIKeyValueStore;
struct CKeyValueKey;

// CDHCPCall: how a DHCP function names itself in its errors.
struct CDHCPCall {
  const char* operation;    // "CDHCP4Eval::_inp"
  const char* description;  // "Cannot execute function $INP()."
};

class CDHCPEvalBase : public CIDHCPEval {
 public:
  using CNodeContextPtr = CGeneralPtr<CNodeContext, CSTNotOwnerPolicy>;

  CDHCPEvalBase(const CDHCPEvalBase&) = delete;
  CDHCPEvalBase& operator=(const CDHCPEvalBase&) = delete;
  ~CDHCPEvalBase() override;

  // compile: the tree compiled earlier for exactly text, or the engine's
  // compile, whose tree is then kept for text. Raises the engine's compile
  // errors and keeps nothing then, so a faulty text fails every time.
  CGeneralPtr<CSyntaxTreeProxy> compile(std::string text) override;

  CProtocolContext& protocolContext() const noexcept { return protocolContext_; }
  const CNodeContextPtr& nodeContext() const noexcept { return nodeContext_; }
  COutputContext* outputContext() const noexcept { return outputContext_; }
  const CPrecompiledExpressions& compiled() const noexcept { return compiled_; }

 protected:
  // CDirection: which message of the exchange a name reads.
  enum class CDirection { kIncoming, kOutgoing };
  // CVendorField: what a vendor name gives of the vendor's attributes.
  enum class CVendorField { kEnterpriseNumber, kVendorId, kDescription };
  // CRecords: how many stored values $DB.KEYVALUE appends.
  enum class CRecords { kEvery, kFirst };

  // The option type every lookup passes: "unknown" matches any type.
  static const COptionType kAnyType;

  // CDHCPEvalBase: an engine over protocolContext's host context whose own
  // functions are `functions` (see CExpEval::_useFunctionTable). None of the
  // contexts is owned; nodeContext and outputContext may be null.
  CDHCPEvalBase(CProtocolContext& protocolContext, CNodeContext* nodeContext,
                COutputContext* outputContext, const CFunctionTable& functions);

  // _self: the evaluator a handler runs on. The handlers are not public, so
  // they only ever run from the table of a DHCP evaluator.
  static CDHCPEvalBase& _self(CExpEval& evaluator) noexcept {
    return static_cast<CDHCPEvalBase&>(evaluator);
  }

  // _message: the received message (raises for a null node context), or the
  // reply (empty without output context or reply).
  static CGeneralPtr<COption> _message(CExpEval& evaluator, CDirection direction);
  // _incomingRoot: the received message's root, its holder not copied (the
  // node context keeps it); null without one. Raises for a null node
  // context, as _message does.
  static COption* _incomingRoot(CExpEval& evaluator);
  // _appendValue: appends element index of the option at path of root; the
  // unknown value when root is null or holds no such option. The option is
  // found and read in place; only an element that cannot be read that way
  // goes through a converter (which raises its error, or evaluates).
  static void _appendValue(CMultiVariant& results, const COption* root, const CTagPath& path,
                           std::uint32_t index);
  // _appendIn: the value of a direction's message at path, element index.
  static void _appendIn(CExpEval& evaluator, CMultiVariant& results, CDirection direction,
                        const CTagPath& path, std::uint32_t index);
  // _incomingText: element 0 of the option at path of the received message
  // as text. Raises "Cannot find option %1." when there is none.
  static std::string _incomingText(CExpEval& evaluator, const CTagPath& path);

  // _incoming, _outgoing: the handler of a name whose value is In or Out of
  // the fixed path kCodes (element 0); arguments are ignored.
  template <std::uint32_t... kCodes>
  static void _incoming(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  template <std::uint32_t... kCodes>
  static void _outgoing(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);

  // _readOption: $INP / $OUTP (path [, index]): the first argument's text as
  // a tag path, the second converted to an integer (its low 32 bits) as the
  // element index (0 without it); later arguments are not read. Raises
  // call's description with "Not enough arguments." without arguments, and
  // the errors of the conversions and of the element access.
  static void _readOption(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                          const CDHCPCall& call, CDirection direction);

  // _vendorClassTest: true when element 0 of the option at path of the
  // received message, as text, begins with prefix (bytes, case-sensitive);
  // false when the option is absent or its element cannot be read as text.
  static bool _vendorClassTest(CExpEval& evaluator, const CTagPath& path, std::string_view prefix);
  // _appendVendorByClass: the vendor named by the first argument's text, or
  // without arguments by element 0 of the option at classPath of the received
  // message, located by class text: its field as an integer (enterprise
  // number) or string. Any CException gives the unknown value.
  static void _appendVendorByClass(CExpEval& evaluator, CMultiVariant& results,
                                   CMultiVariant& arguments, const CTagPath& classPath,
                                   CVendorField field);
  // _vendorLookup: the server's vendor lookup; null when there is none.
  static const CVendorLookup* _vendorLookup(CExpEval& evaluator);
  // _vendorValue: field of the vendor attributes of the entry a lookup found;
  // the unknown value when it found none. Raises "Cannot dereference
  // pointer." for an entry without attributes.
  static CVariant _vendorValue(const CVendorLookup::Entry* found, CVendorField field);

  // _evaluateRule: $PROV.RULE (number, ...): the values the provisioner gives
  // for the rule (the first argument's low 32 bits as unsigned).
  static void _evaluateRule(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                            const CDHCPCall& call);
  // _setPersistEnabled: $PROV.ENABLED (flag, ...): sets the provisioner's
  // persist-enabled flag to the first argument as boolean; the results are a
  // copy of the arguments, so the call's value is the first argument.
  static void _setPersistEnabled(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments, const CDHCPCall& call);
  // _appendAccountName: $PROV.ACCNAME: the node's account name as a string.
  // Raises "Too many arguments." for any argument.
  static void _appendAccountName(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments, const CDHCPCall& call);
  // _provisioner: the protocol context's provisioner. Raises call's
  // description with "No provisioner is available." when there is none.
  static CGeneralPtr<CIDHCPProvisioner> _provisioner(CExpEval& evaluator, const CDHCPCall& call);

  // _queryValues: $DB.KEYVALUE (class, subclass, key): appends the stored
  // value of every matching record (kEvery) or of the first (kFirst), each
  // with its type guessed from the text; the unknown value when none
  // matches. Raises "Not enough arguments." / "Too many arguments." unless
  // there are exactly 3 arguments, and the type guess's error for an empty
  // stored value.
  static void _queryValues(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                           const CDHCPCall& call, CRecords records);
  // _queryExists: $DB.KEYVALUE.EXISTS (class, subclass, key, answer): the
  // answer's text with its type guessed when a record matches, else the
  // unknown value. Exactly 4 arguments.
  static void _queryExists(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                           const CDHCPCall& call);
  // _nextKey: class, subclass and key from the next three arguments.
  static CKeyValueKey _nextKey(CMultiVariant& arguments);
  // _keyValueStore: the protocol context's store. Raises call's description
  // with "No key-value database is configured." when there is none.
  static CIKeyValueStore& _keyValueStore(CExpEval& evaluator, const CDHCPCall& call);

  // Handlers shared by both evaluators: $SERVER.IP, the node's server
  // address as an ip address (raising the variant's error for an address of
  // no type).
  static void _serverIp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);

  // _stringFrom: a string value assigned from text (trimmed of blanks, tabs
  // and single quotes, then of double quotes).
  static CVariant _stringFrom(std::string_view text);
  // _nextText: the current argument's text form; advances.
  static std::string _nextText(CMultiVariant& arguments);
  // _fail: raises call's description with reason.
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] static void _fail(const CDHCPCall& call,
                                                                 const char* reason);

  // _fixedPath: the tag path of kCodes, built once per path, so the names
  // of fixed paths build no path per call.
  template <std::uint32_t... kCodes>
  static const CTagPath& _fixedPath();

 private:
  CProtocolContext& protocolContext_;
  CNodeContextPtr nodeContext_;
  COutputContext* outputContext_;
  CPrecompiledExpressions compiled_;
};

template <std::uint32_t... kCodes>
const CTagPath& CDHCPEvalBase::_fixedPath() {
  static constexpr std::uint32_t kPath[] = {kCodes...};
  static const CTagPath path(kPath, sizeof...(kCodes));
  return path;
}

template <std::uint32_t... kCodes>
void CDHCPEvalBase::_incoming(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  _appendValue(results, _incomingRoot(evaluator), _fixedPath<kCodes...>(), 0);
}

template <std::uint32_t... kCodes>
void CDHCPEvalBase::_outgoing(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  _appendIn(evaluator, results, CDirection::kOutgoing, _fixedPath<kCodes...>(), 0);
}

}  // namespace qvt
