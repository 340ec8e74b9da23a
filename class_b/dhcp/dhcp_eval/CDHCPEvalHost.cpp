// The names of CDHCPEvalBase that reach the host: the provisioner and the
// key-value records.
#include <cstdint>
#include <vector>

#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalBase.h"

namespace qvt {

void CDHCPEvalBase::_evaluateRule(CExpEval& evaluator, CMultiVariant& results,
                                  CMultiVariant& arguments, const CDHCPCall& call) {
  if (arguments.empty()) _fail(call, "Not enough arguments.");
  const auto rule = static_cast<std::uint32_t>(arguments.current().uinteger());
  arguments.advance();
  // An empty answer leaves no result, which the engine reports for the call.
  results = _provisioner(evaluator, call)->evaluateRule(rule);
}

void CDHCPEvalBase::_setPersistEnabled(CExpEval& evaluator, CMultiVariant& results,
                                       CMultiVariant& arguments, const CDHCPCall& call) {
  if (arguments.empty()) _fail(call, "Not enough arguments.");
  results = arguments;
  const bool enabled = arguments.current().boolean();
  arguments.advance();
  _provisioner(evaluator, call)->setPersistEnabled(enabled);
}

void CDHCPEvalBase::_appendAccountName(CExpEval& evaluator, CMultiVariant& results,
                                       CMultiVariant& arguments, const CDHCPCall& call) {
  if (!arguments.empty()) _fail(call, "Too many arguments.");
  results.append(_stringFrom(_self(evaluator).nodeContext_->provisioned().accountName()));
}

CGeneralPtr<CIDHCPProvisioner> CDHCPEvalBase::_provisioner(CExpEval& evaluator,
                                                           const CDHCPCall& call) {
  CGeneralPtr<CIDHCPProvisioner> provisioner = _self(evaluator).protocolContext_.provisioner();
  if (provisioner.isNull()) _fail(call, "No provisioner is available.");
  return provisioner;
}

CKeyValueKey CDHCPEvalBase::_nextKey(CMultiVariant& arguments) {
  CKeyValueKey key;
  key.kclass = _nextText(arguments);
  key.subclass = _nextText(arguments);
  key.key = _nextText(arguments);
  return key;
}

void CDHCPEvalBase::_queryValues(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments, const CDHCPCall& call,
                                 CRecords records) {
  if (arguments.size() < 3) _fail(call, "Not enough arguments.");
  const CKeyValueKey key = _nextKey(arguments);
  if (!arguments.empty()) _fail(call, "Too many arguments.");
  const std::vector<CPrstKeyValue> found =
      _keyValueStore(evaluator, call)
          .query(kKeyValueByKeyEnabled, key, CIKeyValueStore::kLookupLimit);
  if (found.empty()) {
    results.append(CVariant());
    return;
  }
  for (const CPrstKeyValue& record : found) {
    CVariant value;
    value.assign(record.value());
    results.append(std::move(value));
    if (records == CRecords::kFirst) break;
  }
}

void CDHCPEvalBase::_queryExists(CExpEval& evaluator, CMultiVariant& results,
                                 CMultiVariant& arguments, const CDHCPCall& call) {
  if (arguments.size() < 4) _fail(call, "Not enough arguments.");
  const CKeyValueKey key = _nextKey(arguments);
  const std::string answer = _nextText(arguments);
  if (!arguments.empty()) _fail(call, "Too many arguments.");
  const bool exists = !_keyValueStore(evaluator, call)
                           .query(kKeyValueByKeyEnabled, key, CIKeyValueStore::kLookupLimit)
                           .empty();
  CVariant value;
  if (exists) value.assign(answer);
  results.append(std::move(value));
}

CIKeyValueStore& CDHCPEvalBase::_keyValueStore(CExpEval& evaluator, const CDHCPCall& call) {
  CIKeyValueStore* store = _self(evaluator).protocolContext_.keyValueStore();
  if (store == nullptr) _fail(call, "No key-value database is configured.");
  return *store;
}

}  // namespace qvt
