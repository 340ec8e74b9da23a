#include "class_b/dhcp/dhcp_base/COption.h"

#include <memory>

#include "class_a/standard/Fail.h"

namespace qvt {

COption::COption(std::uint64_t context, std::uint32_t ownTag, COption* parent)
    : own_(std::make_unique<COptionAttributes>()), parent_(parent), context_(context) {
  own_->setTagPath(CTagPath(ownTag));
  _use(own_.get());
}

COption::COption(const COptionAttributes& attributes, COption* parent, std::uint64_t context)
    : own_(std::make_unique<COptionAttributes>(attributes)), parent_(parent), context_(context) {
  _use(own_.get());
}

COption::COption(CSharedDefinition shared, COption* parent, std::uint64_t context)
    : parent_(parent), context_(context) {
  _use(shared.definition);
}

COption::COption(const COption& other)
    : CObject(other),
      own_(other.own_ ? std::make_unique<COptionAttributes>(*other.own_) : nullptr),
      parent_(other.parent_),
      context_(other.context_) {
  _use(own_ ? own_.get() : other.definition_);
}

COption& COption::operator=(const COption& other) {
  if (this == &other) return *this;
  if (exposed_ || other.own_) {
    // setAttributes keeps the own definition where it is, so a reference to
    // it handed out earlier stays valid.
    setAttributes(*other.definition_);
  } else {
    _changing();
    own_.reset();
    _use(other.definition_);
  }
  parent_ = other.parent_;
  context_ = other.context_;
  return *this;
}

COption::~COption() = default;

COptionAttributes& COption::attributes() {
  if (!own_) {
    own_ = std::make_unique<COptionAttributes>(*definition_);
    definition_ = own_.get();
  }
  if (!exposed_) {
    exposed_ = true;
    _changing();
  }
  return *own_;
}

void COption::setAttributes(const COptionAttributes& attributes) {
  _changing();
  if (own_) {
    *own_ = attributes;
  } else {
    own_ = std::make_unique<COptionAttributes>(attributes);
  }
  _use(own_.get());
}

void COption::_use(const COptionAttributes* definition) noexcept {
  definition_ = definition;
  ownTag_ = _tagOf(*definition);
  typeCode_ = definition->type().code();
}

void COption::_changing() {
  if (container_ != nullptr) container_->_subOptionChanging(*this);
}

void COption::_setContainer(COption& child, COption& container) {
  if (child.container_ != nullptr && child.container_ != &container) {
    child.container_->_subOptionChanging(child);
  }
  child.container_ = &container;
}

std::uint32_t COption::_tagOf(const COptionAttributes& attributes) {
  const CTagPath& path = attributes.tagPath();
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
