#include "COurWorker.h"

#include <cstdlib>
#include <utility>

#include "host/CVendorFile.h"

namespace keabench {
namespace {

qvt::CGeneralPtr<qvt::CVendorLookup> loadVendors() {
  qvt::CVendorFile vendors;
  vendors.load(COurWorker::dictionaryDirectory(), "vendors.defs");
  return vendors.makeLookup();
}

}  // namespace

std::string COurWorker::dictionaryDirectory() {
  const char* configured = std::getenv("DHCP_EVAL_DICTIONARIES");
  if (configured != nullptr && *configured != '\0') return configured;
  return KEABENCH_DICTIONARY_DIR;
}

const qvt::CIPAddress& COurWorker::serverAddress() {
  static const qvt::CIPAddress address("10.0.0.254");
  return address;
}

const qvt::CIPAddress& COurWorker::relayAddress() {
  static const qvt::CIPAddress address("10.0.0.1");
  return address;
}

COurWorker::COurWorker(const qvt::COptionDictionary& dictionary)
    : protocol_(&hostContext_),
      vendors_(loadVendors()),
      decoder_(dictionary, vendors_),
      server_(vendors_.get()),
      node_(&server_, serverAddress()) {}

void COurWorker::prepare() {
  evaluator_ = instance(node_.context());
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    trees_[index] = evaluator_->compile(kExpressions[index].ours);
  }
}

qvt::CGeneralPtr<qvt::CExpEval> COurWorker::instance(CNodeContext* node) {
  return factory_.instance(protocol_, node, &reply_);
}

CNodeContext COurWorker::makeNode(qvt::CGeneralPtr<qvt::COption> message) const {
  return CNodeContext(&server_, std::move(message), {}, serverAddress(), relayAddress());
}

void COurWorker::exchange(const CPacket& packet, Values& values) {
  CNodeContext node = makeNode(decode(packet));
  const qvt::CGeneralPtr<qvt::CExpEval> evaluator = instance(&node);
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    evaluator->execute(values[index], evaluator->compile(kExpressions[index].ours));
  }
}

void COurWorker::perWorker(const CPacket& packet, Values& values) {
  node_.point(decode(packet), relayAddress());
  executeAll(values);
}

void COurWorker::executeAll(Values& values) {
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    evaluator_->execute(values[index], trees_[index]);
  }
}

qvt::CGeneralPtr<qvt::CSyntaxTreeProxy> COurWorker::compileUncached(const std::string& text) {
  // A qualified call skips the evaluator's cache and runs the engine's parse
  // and tree building, the work of a first compile of the text.
  return evaluator_->qvt::CExpEval::compile(text);
}

CConditions COurWorker::truths(const Values& values) {
  CConditions conditions{};
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    conditions[index] = values[index].isBoolean() && values[index].boolean();
  }
  return conditions;
}

}  // namespace keabench
