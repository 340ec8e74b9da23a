#include "class_b/dhcp/dhcp_base/COption.h"

#include "class_a/standard/Fail.h"

namespace qvt {

COption::COption(std::uint64_t context, std::uint32_t ownTag, COption* parent)
    : parent_(parent), context_(context) {
  attributes_.setTagPath(CTagPath(ownTag));
}

COption::COption(const COptionAttributes& attributes, COption* parent, std::uint64_t context)
    : attributes_(attributes), parent_(parent), context_(context) {}

COption::COption(const COption& other)
    : CObject(other),
      attributes_(other.attributes_),
      parent_(other.parent_),
      context_(other.context_) {}

COption& COption::operator=(const COption& other) {
  attributes_ = other.attributes_;
  parent_ = other.parent_;
  context_ = other.context_;
  return *this;
}

COption::~COption() = default;

std::uint32_t COption::ownTag() const {
  const CTagPath& path = attributes_.tagPath();
  return path.empty() ? 0xffffffffu : path[path.depth() - 1];
}

CTagPath COption::fullTagPath() const {
  CTagPath path;
  for (const COption* option = this; option != nullptr; option = option->parent_) {
    path.push_back(option->ownTag());
  }
  path.reverse();
  return path;
}

void COption::_failMissing(const CTagPath& lookedFor, const char* operation) const {
  fail(CRaiser::of(*this), "dhcp_base", operation, {"Cannot find option %1.", lookedFor.string()},
       "Option does not exist.");
}

void COption::_failStorage() const {
  fail(CRaiser::of(*this), "dhcp_base", "COption::storage",
       {"Cannot access storage for option %1.", fullTagPath().string()},
       "Option is not of the implied type.");
}

}  // namespace qvt
