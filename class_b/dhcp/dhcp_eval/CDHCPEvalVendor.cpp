// The vendor names of CDHCPEvalBase: vendor class tests and vendor lookup.
#include <string>
#include <vector>

#include "class_a/standard/CException.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "class_b/dhcp/dhcp_eval/CDHCPEvalBase.h"

namespace qvt {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool CDHCPEvalBase::_vendorClassTest(CExpEval& evaluator, const CTagPath& path,
                                     std::string_view prefix) {
  // A text option is compared in place, found without copying its holder.
  if (const COption* root = _incomingRoot(evaluator)) {
    const COption* found = root->find(path, -1, kAnyType, 0);
    if (found == nullptr) return false;
    if (found->typeCode() == COptionType::eString && found->count() > 0) {
      try {
        return startsWith(found->storage<std::string>()[0], prefix);
      } catch (const CException&) {
        return false;
      }
    }
  }
  CGeneralPtr<COption> option;
  if (!_message(evaluator, CDirection::kIncoming)->tryGet(path, option, kAnyType, 0)) {
    return false;
  }
  try {
    const CValueTypeConverter values(option);
    if (option->typeCode() != COptionType::eString) return startsWith(values.toString(0), prefix);
    // A text option is compared in place (a long vendor class is not copied).
    values._throwSize(0);
    return startsWith(option->storage<std::string>()[0], prefix);
  } catch (const CException&) {
    return false;
  }
}

void CDHCPEvalBase::_appendVendorByClass(CExpEval& evaluator, CMultiVariant& results,
                                         CMultiVariant& arguments, const CTagPath& classPath,
                                         CVendorField field) {
  CVariant value;
  try {
    const std::string classText =
        arguments.empty() ? _incomingText(evaluator, classPath) : arguments.current().string();
    if (const CVendorLookup* lookup = _vendorLookup(evaluator)) {
      value = _vendorValue(lookup->find(classText), field);
    }
  } catch (const CException&) {
    value.reset();
  }
  results.append(std::move(value));
}

const CVendorLookup* CDHCPEvalBase::_vendorLookup(CExpEval& evaluator) {
  const CIServerObject* server = _self(evaluator).nodeContext_->server();
  return server == nullptr ? nullptr : server->vendorLookup();
}

CVariant CDHCPEvalBase::_vendorValue(const CVendorLookup::Entry* found, CVendorField field) {
  // The stored holder is only read in place: the lookup is shared by the
  // evaluators of every thread, and copying it would touch its count.
  if (found == nullptr) return CVariant();
  const CVendorAttributes& attributes = *found->second;
  switch (field) {
    case CVendorField::kEnterpriseNumber: {
      const CVendorID id = attributes.vendorId();
      return id.empty() ? CVariant() : CVariant(static_cast<std::int64_t>(id[0]));
    }
    case CVendorField::kVendorId:
      return _stringFrom(attributes.vendorId().string());
    case CVendorField::kDescription:
      return _stringFrom(attributes.description());
  }
  return CVariant();
}

}  // namespace qvt
