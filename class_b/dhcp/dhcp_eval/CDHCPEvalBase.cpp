#include "class_b/dhcp/dhcp_eval/CDHCPEvalBase.h"

#include <utility>

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"

namespace qvt {

const COptionType CDHCPEvalBase::kAnyType;

CDHCPEvalBase::CDHCPEvalBase(CProtocolContext& protocolContext, CNodeContext* nodeContext,
                             COutputContext* outputContext, const CFunctionTable& functions)
    : CIDHCPEval(protocolContext.hostContext()),
      protocolContext_(protocolContext),
      nodeContext_(nodeContext),
      outputContext_(outputContext) {
  _useFunctionTable(functions);
  setKeyCipherOnFirstUse(true);
}

CDHCPEvalBase::~CDHCPEvalBase() = default;

CGeneralPtr<CSyntaxTreeProxy> CDHCPEvalBase::compile(std::string text) {
  CGeneralPtr<CSyntaxTreeProxy> tree = compiled_.find(text);
  if (tree) return tree;
  tree = CExpEval::compile(text);
  compiled_.store(std::move(text), tree);
  return tree;
}

CGeneralPtr<COption> CDHCPEvalBase::_message(CExpEval& evaluator, CDirection direction) {
  const CDHCPEvalBase& self = _self(evaluator);
  if (direction == CDirection::kIncoming) return self.nodeContext_->incoming();
  return self.outputContext_ == nullptr ? CGeneralPtr<COption>()
                                        : self.outputContext_->outgoingMessage();
}

COption* CDHCPEvalBase::_incomingRoot(CExpEval& evaluator) {
  return _self(evaluator).nodeContext_->incomingRoot();
}

void CDHCPEvalBase::_appendValue(CMultiVariant& results, const COption* root, const CTagPath& path,
                                 std::uint32_t index) {
  const COption* option = root == nullptr ? nullptr : root->find(path, -1, kAnyType, 0);
  if (option == nullptr) {
    results.append(CVariant());
    return;
  }
  if (CValueTypeConverter::variantOf(*option, index, results.appendSlot())) return;
  results.advance();
  CGeneralPtr<COption> holder;
  root->tryGet(path, holder, kAnyType, 0);
  results.append(CValueTypeConverter(holder).variant(index));
}

void CDHCPEvalBase::_appendIn(CExpEval& evaluator, CMultiVariant& results, CDirection direction,
                              const CTagPath& path, std::uint32_t index) {
  if (direction == CDirection::kIncoming) {
    _appendValue(results, _incomingRoot(evaluator), path, index);
    return;
  }
  // The reply is asked for on every read; its holder is kept while reading.
  const CGeneralPtr<COption> reply = _message(evaluator, direction);
  _appendValue(results, reply.get(), path, index);
}

std::string CDHCPEvalBase::_incomingText(CExpEval& evaluator, const CTagPath& path) {
  const CGeneralPtr<COption> message = _message(evaluator, CDirection::kIncoming);
  return CValueTypeConverter(message->get(path, kAnyType, 0)).toString(0);
}

void CDHCPEvalBase::_readOption(CExpEval& evaluator, CMultiVariant& results,
                                CMultiVariant& arguments, const CDHCPCall& call,
                                CDirection direction) {
  if (arguments.empty()) _fail(call, "Not enough arguments.");
  CTagPath path;
  // Any type names a path by its text: the uinteger 82 as well as '82/1'.
  path.assign(arguments.current().string(), "dhcp_eval");
  arguments.advance();
  std::uint32_t index = 0;
  if (!arguments.empty()) {
    index = static_cast<std::uint32_t>(arguments.current().integer());
    arguments.advance();
  }
  _appendIn(evaluator, results, direction, path, index);
}

void CDHCPEvalBase::_serverIp(CExpEval& evaluator, CMultiVariant& results, CMultiVariant&) {
  results.append(CVariant(_self(evaluator).nodeContext_->serverAddress()));
}

CVariant CDHCPEvalBase::_stringFrom(std::string_view text) {
  CVariant value(CVariantType::kString);
  value.assign(text);
  return value;
}

std::string CDHCPEvalBase::_nextText(CMultiVariant& arguments) {
  std::string text = arguments.current().string();
  arguments.advance();
  return text;
}

void CDHCPEvalBase::_fail(const CDHCPCall& call, const char* reason) {
  fail(CRaiser::none(), "dhcp_eval", call.operation, call.description, reason);
}

}  // namespace qvt
