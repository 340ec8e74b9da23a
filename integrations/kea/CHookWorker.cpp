#include "integrations/kea/CHookWorker.h"

#include <algorithm>
#include <utility>

#include "class_a/standard/Fail.h"
#include "host/CHostOptionFactory.h"

namespace qvt::kea {

namespace {

constexpr const char* kModule = "kea-hook";

void refuseSleep(CExpEval&, CMultiVariant&, CMultiVariant&) {
  fail(CRaiser::none(), kModule, "CHookWorker::refuseSleep",
       "Failed to execute function $USLEEP().",
       "A sleep would stall Kea's packet processing: $USLEEP is not available in the Kea hook.");
}

CVendorFile readVendors(const std::string& path) {
  CVendorFile vendors;
  vendors.load(".", path);
  return vendors;
}

std::string contextName(int family) {
  return "kea-dhcp" + std::to_string(family);
}

// evaluate: the value of tree, or the text of its failure; nothing escapes.
template <class Finish>
void evaluate(CExpEval& evaluator, const CGeneralPtr<CSyntaxTreeProxy>& tree, CEvaluation& outcome,
              Finish&& finish) {
  outcome.error.reset();
  try {
    evaluator.execute(outcome.value, tree);
    finish(outcome.value);
  } catch (const CException& e) {
    outcome.error = e.text();
  } catch (const std::exception& e) {
    outcome.error = e.what();
  } catch (...) {
    outcome.error = "An unknown exception was raised.";
  }
}

}  // namespace

CHookWorker::CHookWorker(const CHookShared& shared)
    : shared_(shared),
      server_(readVendors(shared.vendorFile)),
      provisioner_(std::make_shared<host::CRulesProvisioner>(
          shared.rules,
          [this](const std::string& expression) { return _runRuleExpression(expression); })),
      protocol_(shared.host, CProtocolFamily(static_cast<std::uint32_t>(shared.family)),
                contextName(shared.family), shared.store, provisioner_),
      node_(&server_, CGeneralPtr<COption>(), {}, CIPAddress(), CIPAddress()),
      emptyReply_(makeMessageRoot(static_cast<std::uint32_t>(shared.family))) {
  if (shared.family == 4) {
    dictionary_.load(shared.dictionaries, "dhcp4.defs");
    decoder4_ = std::make_unique<host::CDhcp4Decoder>(dictionary_, server_.vendorHolder());
  } else {
    dictionary_.load(shared.dictionaries, "dhcp6.defs");
    decoder6_ = std::make_unique<host::CDhcp6Decoder>(dictionary_);
  }
  evaluator_ = _newEvaluator();
  for (const CClassSetting& entry : shared.classes) {
    classTrees_.push_back(
        _compile(entry.expression,
                 {"Class '%1': expression '%2' does not compile.", entry.name, entry.expression}));
  }
  for (const COptionSetting& entry : shared.options) {
    optionTrees_.push_back(
        _compile(entry.expression,
                 {"Option %1: expression '%2' does not compile.", entry.code, entry.expression}));
  }
}

CHookWorker::~CHookWorker() = default;

CGeneralPtr<CExpEval> CHookWorker::_newEvaluator() {
  CGeneralPtr<CExpEval> evaluator = shared_.factory->instance(protocol_, &node_, &output_);
  evaluator->registerFunction("USLEEP", &refuseSleep);
  return evaluator;
}

CGeneralPtr<CSyntaxTreeProxy> CHookWorker::_compile(const std::string& expression,
                                                    const CMessage& what) {
  try {
    return evaluator_->compile(expression);
  } catch (const CException& e) {
    fail(CRaiser::of(*this), kModule, "CHookWorker::CHookWorker", what, e.text());
  }
}

CVariant CHookWorker::_runRuleExpression(const std::string& expression) {
  CGeneralPtr<CExpEval> evaluator = _newEvaluator();
  CVariant value;
  evaluator->execute(value, evaluator->compile(expression));
  return value;
}

CGeneralPtr<COption> CHookWorker::_decode(const std::uint8_t* data, std::size_t size) const {
  return decoder4_ ? decoder4_->decode(data, size) : decoder6_->decode(data, size);
}

void CHookWorker::_bind(const std::uint8_t* data, std::size_t size,
                        const host::CNodeSettings& node) {
  const bool same = lastTree_ && lastBytes_.size() == size &&
                    std::equal(lastBytes_.begin(), lastBytes_.end(), data);
  if (!same) {
    // Emptied first: a failure below leaves no tree paired with other bytes.
    lastTree_ = CGeneralPtr<COption>();
    lastBytes_.assign(data, data + size);
    lastTree_ = _decode(data, size);
  }
  // The evaluators hold the address of node_, so its contents are replaced.
  node_ = node.makeContext(&server_, lastTree_);
}

const std::vector<CEvaluation>& CHookWorker::classify(const std::uint8_t* data, std::size_t size,
                                                      const host::CNodeSettings& node) {
  _bind(data, size, node);
  output_.setMessage(emptyReply_);
  outcomes_.resize(classTrees_.size());
  for (std::size_t i = 0; i < classTrees_.size(); ++i) {
    evaluate(*evaluator_, classTrees_[i], outcomes_[i],
             [](CVariant& value) { value = CVariant(value.isKnown() && value.boolean()); });
  }
  return outcomes_;
}

const std::vector<CEvaluation>& CHookWorker::computeOptions(const std::vector<std::uint8_t>& query,
                                                            const std::vector<std::uint8_t>& reply,
                                                            const host::CNodeSettings& node) {
  _bind(query.data(), query.size(), node);
  output_.setMessage(_decode(reply.data(), reply.size()));
  outcomes_.resize(optionTrees_.size());
  for (std::size_t i = 0; i < optionTrees_.size(); ++i)
    evaluate(*evaluator_, optionTrees_[i], outcomes_[i], [](CVariant&) {});
  return outcomes_;
}

}  // namespace qvt::kea
