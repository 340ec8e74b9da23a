#include "host/CHostOptionBase.h"

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

bool typeMatches(const COption& option, const COptionType& type) {
  return type.code() == COptionType::eUnknown || option.type() == type;
}

// visitMatches: calls visit(holder) for every option below `option` that
// matches path[level..], depth first in wire order, until visit answers true.
// Intermediate levels match any type; the type filter applies to the last.
template <class Visit>
bool visitMatches(const COption& option, const CTagPath& path, std::uint64_t level,
                  const COptionType& type, Visit& visit) {
  const std::uint32_t tag = path[level];
  const bool last = level + 1 == path.depth();
  const std::size_t children = option.childCount();
  for (std::size_t i = 0; i < children; ++i) {
    const COption::Ptr child = option.child(i);
    if (!child || child.get()->ownTag() != tag) continue;
    if (last) {
      if (typeMatches(*child.get(), type) && visit(child)) return true;
    } else if (visitMatches(*child.get(), path, level + 1, type, visit)) {
      return true;
    }
  }
  return false;
}

template <class Visit>
void visitPath(const COption& option, const CTagPath& path, const COptionType& type,
               Visit&& visit) {
  if (path.empty()) return;
  visitMatches(option, path, 0, type, visit);
}

}  // namespace

CHostOptionBase::CHostOptionBase(const COptionAttributes& attributes, COption* parent,
                                 std::uint64_t context, bool messageRoot)
    : COption(attributes, parent, context), messageRoot_(messageRoot) {}

CHostOptionBase::CHostOptionBase(const CHostOptionBase& other)
    : COption(other),
      wireOffset_(other.wireOffset_),
      wireLength_(other.wireLength_),
      raw_(other.raw_),
      hasRaw_(other.hasRaw_),
      messageRoot_(other.messageRoot_) {}

CHostOptionBase::~CHostOptionBase() = default;

COption::Ptr CHostOptionBase::child(std::size_t index) const {
  return index < children_.size() ? children_[index] : Ptr();
}

void CHostOptionBase::setWireSpan(std::size_t offset, std::size_t length) {
  wireOffset_ = offset;
  wireLength_ = length;
}

void CHostOptionBase::setRaw(const CHexStore& bytes) {
  raw_ = bytes;
  hasRaw_ = true;
}

bool CHostOptionBase::contains(const CTagPath& path, const COptionType& type, std::uint32_t) const {
  bool found = false;
  visitPath(*this, path, type, [&found](const Ptr&) { return found = true; });
  return found;
}

std::size_t CHostOptionBase::instances(const CTagPath& path, const COptionType& type,
                                       std::uint32_t) const {
  std::size_t count = 0;
  visitPath(*this, path, type, [&count](const Ptr&) {
    ++count;
    return false;
  });
  return count;
}

COption* CHostOptionBase::find(const CTagPath& path, std::int32_t instance, const COptionType& type,
                               std::uint32_t) const {
  // Any negative instance asks for the first one.
  std::int64_t remaining = instance < 0 ? 0 : instance;
  COption* found = nullptr;
  visitPath(*this, path, type, [&](const Ptr& option) {
    if (remaining-- != 0) return false;
    found = option.get();
    return true;
  });
  return found;
}

void CHostOptionBase::getAll(const CTagPath& path, List& holders, const COptionType& type,
                             std::uint32_t) const {
  visitPath(*this, path, type, [&holders](const Ptr& option) {
    holders.push_back(option);
    return false;
  });
}

void CHostOptionBase::addChild(const Ptr& child) {
  const char* reason = nullptr;
  if (!child) {
    reason = "The sub-option is null.";
  } else {
    for (const COption* ancestor = this; ancestor != nullptr; ancestor = ancestor->parent()) {
      if (ancestor == child.get()) reason = "The sub-option would contain itself.";
    }
  }
  if (reason != nullptr) {
    fail(CRaiser::of(*this), "host", "COption::addChild",
         {"Cannot add a sub-option to option %1.",
          messageRoot_ ? attributes().name() : fullTagPath().string()},
         reason);
  }
  children_.push_back(child);
  child.get()->setParent(messageRoot_ ? nullptr : this);
}

void CHostOptionBase::fill(const CTagPath& path, Ptr& holder, std::int32_t instance,
                           const COptionType& type, std::uint32_t) const {
  holder = nullptr;
  std::int64_t remaining = instance < 0 ? 0 : instance;
  visitPath(*this, path, type, [&](const Ptr& option) {
    if (remaining-- != 0) return false;
    holder = option;
    return true;
  });
}

COption::Ptr CHostOptionBase::get(const CTagPath& path, const COptionType& type,
                                  std::uint32_t selector) const {
  Ptr holder;
  if (!tryGet(path, holder, type, selector)) _failMissing(_lookedFor(path), "COption::get");
  return holder;
}

bool CHostOptionBase::tryGet(const CTagPath& path, Ptr& holder, const COptionType& type,
                             std::uint32_t selector) const {
  fill(path, holder, -1, type, selector);
  return static_cast<bool>(holder);
}

std::size_t CHostOptionBase::remove(const CTagPath& path, const COptionType& type,
                                    std::uint32_t selector) {
  if (path.empty()) return 0;
  std::size_t removed = 0;
  if (path.depth() == 1) {
    for (auto it = children_.begin(); it != children_.end();) {
      if (it->get()->ownTag() == path[0] && typeMatches(*it->get(), type)) {
        it = children_.erase(it);
        ++removed;
      } else {
        ++it;
      }
    }
    return removed;
  }
  const CTagPath rest(path.begin() + 1, path.depth() - 1);
  for (const Ptr& child : children_) {
    if (child.get()->ownTag() == path[0]) removed += child.get()->remove(rest, type, selector);
  }
  return removed;
}

void CHostOptionBase::clearChildren() {
  children_.clear();
}

void CHostOptionBase::insert(const CTagPath& parentPath, const Ptr& option) {
  if (parentPath.empty()) {
    addChild(option);
    return;
  }
  COption* parent = find(parentPath, -1, COptionType(), 0);
  if (parent == nullptr) _failMissing(_lookedFor(parentPath), "COption::insert");
  parent->addChild(option);
}

bool CHostOptionBase::equals(const COption& other) const {
  const auto* host = dynamic_cast<const CHostOptionBase*>(&other);
  if (host == nullptr || type() != other.type() || ownTag() != other.ownTag() ||
      count() != other.count() || childCount() != other.childCount()) {
    return false;
  }
  for (std::size_t i = 0; i < count(); ++i) {
    if (elementText(i) != host->elementText(i)) return false;
  }
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (!children_[i].get()->equals(*host->children_[i].get())) return false;
  }
  return true;
}

std::string CHostOptionBase::dump() const {
  std::string out;
  _dumpInto(out);
  return out;
}

void CHostOptionBase::_dumpInto(std::string& out) const {
  if (!messageRoot_) {
    out += fullTagPath().string();
    out += ' ';
    out += type().string();
    for (std::size_t i = 0; i < count(); ++i) {
      out += i == 0 ? ": " : ", ";
      out += elementText(i);
    }
    out += '\n';
  }
  for (const Ptr& child : children_) {
    const auto* host = dynamic_cast<const CHostOptionBase*>(child.get());
    if (host != nullptr) {
      host->_dumpInto(out);
    } else {
      out += child.get()->dump();
    }
  }
}

void CHostOptionBase::_cloneChildrenInto(COption& copy) const {
  for (const Ptr& child : children_)
    copy.addChild(child.get()->clone());
}

CTagPath CHostOptionBase::_lookedFor(const CTagPath& path) const {
  if (messageRoot_) return path;
  CTagPath full = fullTagPath();
  full += path;
  return full;
}

void CHostOptionBase::_failNoElements() const {
  fail(CRaiser::of(*this), "host", "COption::addValue",
       {"Cannot set a value of option %1.", fullTagPath().string()},
       {"Option type %1 holds no elements.", type().string()});
}

void CHostOptionBase::_failIndex(std::size_t index, const char* operation) const {
  fail(CRaiser::of(*this), "host", operation,
       {"Cannot access element %1 in option %2.", static_cast<std::uint64_t>(index),
        fullTagPath().string()},
       "Index out of range.");
}

}  // namespace qvt
