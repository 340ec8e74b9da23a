#include "host/CHostOptionBase.h"

#include <algorithm>
#include <iterator>

#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

// kHostFamily: the family tag of every host option (COption::_setFamily).
const char kHostFamily = 0;

bool typeMatches(const COption& option, const COptionType& type) {
  return type.code() == COptionType::eUnknown || option.typeCode() == type.code();
}

// visitAny: the walk of CHostOptionBase::_visit below an option of another
// implementation, through its virtual sub-option access.
template <class Visit>
bool visitAny(const COption& option, const CTagPath& path, std::uint64_t level,
              const COptionType& type, Visit& visit) {
  const std::uint32_t tag = path[level];
  const bool last = level + 1 == path.depth();
  const std::size_t children = option.childCount();
  for (std::size_t i = 0; i < children; ++i) {
    const COption::Ptr child = option.child(i);
    if (!child || child.get()->ownTag() != tag) continue;
    if (last) {
      if (typeMatches(*child.get(), type) && visit(child)) return true;
    } else if (visitAny(*child.get(), path, level + 1, type, visit)) {
      return true;
    }
  }
  return false;
}

}  // namespace

template <class Visit>
bool CHostOptionBase::_visit(const CTagPath& path, std::uint64_t level, const COptionType& type,
                             Visit& visit) const {
  const std::uint32_t tag = path[level];
  const bool last = level + 1 == path.depth();
  const CChild* const end = children_.data() + children_.size();
  for (const CChild* next = children_.data();; ++next) {
    next = _find(next, end, tag);
    if (next == end) return false;
    const CChild& child = *next;
    const COption& option = *child.option.get();
    if (last) {
      if (typeMatches(option, type) && visit(child.option)) return true;
    } else if (child.host != nullptr ? child.host->_visit(path, level + 1, type, visit)
                                     : visitAny(option, path, level + 1, type, visit)) {
      return true;
    }
  }
}

const CHostOptionBase::CChild* CHostOptionBase::_find(const CChild* from, const CChild* end,
                                                      std::uint32_t tag) const noexcept {
  if (unstable_ == 0) {
    if (index_ && from == children_.data()) {
      // No entry before the bucket's first one can have the tag.
      const std::uint8_t first = index_->first[CTagIndex::bucket(tag)];
      if (first == CTagIndex::kNone) return end;
      from += first;
    }
    while (from != end && from->tag != tag)
      ++from;
    return from;
  }
  while (from != end && (from->stable ? from->tag : from->option.get()->ownTag()) != tag)
    ++from;
  return from;
}

void CHostOptionBase::_subOptionChanging(const COption& child) {
  for (CChild& entry : children_) {
    if (entry.option.get() == &child && entry.stable) {
      entry.stable = false;
      ++unstable_;
    }
  }
}

void CHostOptionBase::_indexEntry(std::size_t position) noexcept {
  std::uint8_t& first = index_->first[CTagIndex::bucket(children_[position].tag)];
  if (first == CTagIndex::kNone) first = static_cast<std::uint8_t>(position);
}

void CHostOptionBase::_reindex() {
  if (children_.size() < kIndexFrom || children_.size() >= CTagIndex::kNone) {
    index_.reset();
    return;
  }
  if (!index_) index_ = std::make_unique<CTagIndex>();
  std::fill(std::begin(index_->first), std::end(index_->first), CTagIndex::kNone);
  for (std::size_t position = 0; position < children_.size(); ++position)
    _indexEntry(position);
}

void CHostOptionBase::_released(COption& child) noexcept {
  for (const CChild& entry : children_) {
    if (entry.option.get() == &child) return;
  }
  _leaveContainer(child, *this);
}

CHostOptionBase::CHostOptionBase(const COptionAttributes& attributes, COption* parent,
                                 std::uint64_t context, bool messageRoot)
    : COption(attributes, parent, context), messageRoot_(messageRoot) {
  _setFamily(&kHostFamily);
}

CHostOptionBase::CHostOptionBase(CSharedDefinition shared, COption* parent, std::uint64_t context,
                                 bool messageRoot)
    : COption(shared, parent, context), messageRoot_(messageRoot) {
  _setFamily(&kHostFamily);
}

CHostOptionBase::CHostOptionBase(const CHostOptionBase& other)
    : COption(other),
      wireOffset_(other.wireOffset_),
      wireLength_(other.wireLength_),
      raw_(other.raw_),
      hasRaw_(other.hasRaw_),
      messageRoot_(other.messageRoot_) {
  _setFamily(&kHostFamily);
}

CHostOptionBase::~CHostOptionBase() {
  for (const CChild& entry : children_)
    _leaveContainer(*entry.option.get(), *this);
}

COption::Ptr CHostOptionBase::child(std::size_t index) const {
  return index < children_.size() ? children_[index].option : Ptr();
}

void CHostOptionBase::setWireSpan(std::size_t offset, std::size_t length) {
  wireOffset_ = offset;
  wireLength_ = length;
}

void CHostOptionBase::setRaw(const unsigned char* bytes, std::size_t length) {
  raw_.clear();
  raw_.append(bytes, length);
  hasRaw_ = true;
}

void CHostOptionBase::setRaw(const CHexStore& bytes) {
  raw_ = bytes;
  hasRaw_ = true;
}

bool CHostOptionBase::contains(const CTagPath& path, const COptionType& type, std::uint32_t) const {
  if (path.empty()) return false;
  auto found = [](const Ptr&) { return true; };
  return _visit(path, 0, type, found);
}

std::size_t CHostOptionBase::instances(const CTagPath& path, const COptionType& type,
                                       std::uint32_t) const {
  std::size_t count = 0;
  auto counted = [&count](const Ptr&) {
    ++count;
    return false;
  };
  if (!path.empty()) _visit(path, 0, type, counted);
  return count;
}

COption* CHostOptionBase::find(const CTagPath& path, std::int32_t instance, const COptionType& type,
                               std::uint32_t) const {
  // Any negative instance asks for the first one.
  if (path.depth() == 1 && instance <= 0 && type.code() == COptionType::eUnknown) {
    // The first sub-option with the tag: the most frequent lookup, without
    // the general walk.
    const CChild* const end = children_.data() + children_.size();
    const CChild* const first = _find(children_.data(), end, path[0]);
    return first == end ? nullptr : first->option.get();
  }
  std::int64_t remaining = instance < 0 ? 0 : instance;
  COption* found = nullptr;
  auto numbered = [&](const Ptr& option) {
    if (remaining-- != 0) return false;
    found = option.get();
    return true;
  };
  if (!path.empty()) _visit(path, 0, type, numbered);
  return found;
}

void CHostOptionBase::getAll(const CTagPath& path, List& holders, const COptionType& type,
                             std::uint32_t) const {
  auto collect = [&holders](const Ptr& option) {
    holders.push_back(option);
    return false;
  };
  if (!path.empty()) _visit(path, 0, type, collect);
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
  COption& option = *child.get();
  const bool stable = !_mayChange(option);
  const CHostOptionBase* host =
      _familyOf(option) == &kHostFamily ? static_cast<const CHostOptionBase*>(&option) : nullptr;
  children_.push_back({child, host, option.ownTag(), stable});
  if (!stable) ++unstable_;
  if (index_ && children_.size() < CTagIndex::kNone) {
    _indexEntry(children_.size() - 1);
  } else if (index_ || children_.size() == kIndexFrom) {
    _reindex();
  }
  option.setParent(messageRoot_ ? nullptr : this);
  _setContainer(option, *this);
}

void CHostOptionBase::fill(const CTagPath& path, Ptr& holder, std::int32_t instance,
                           const COptionType& type, std::uint32_t) const {
  holder = nullptr;
  std::int64_t remaining = instance < 0 ? 0 : instance;
  auto numbered = [&](const Ptr& option) {
    if (remaining-- != 0) return false;
    holder = option;
    return true;
  };
  if (!path.empty()) _visit(path, 0, type, numbered);
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
      if (it->option.get()->ownTag() == path[0] && typeMatches(*it->option.get(), type)) {
        const Ptr child = it->option;
        if (!it->stable) --unstable_;
        it = children_.erase(it);
        _released(*child.get());
        ++removed;
      } else {
        ++it;
      }
    }
    if (removed != 0 && index_) _reindex();
    return removed;
  }
  const CTagPath rest(path.begin() + 1, path.depth() - 1);
  for (const CChild& child : children_) {
    if (child.option.get()->ownTag() == path[0]) {
      removed += child.option.get()->remove(rest, type, selector);
    }
  }
  return removed;
}

void CHostOptionBase::clearChildren() {
  for (const CChild& entry : children_)
    _leaveContainer(*entry.option.get(), *this);
  children_.clear();
  unstable_ = 0;
  index_.reset();
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
    if (!children_[i].option.get()->equals(*host->children_[i].option.get())) return false;
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
  for (const CChild& child : children_) {
    if (child.host != nullptr) {
      child.host->_dumpInto(out);
    } else {
      out += child.option.get()->dump();
    }
  }
}

void CHostOptionBase::_cloneChildrenInto(COption& copy) const {
  for (const CChild& child : children_)
    copy.addChild(child.option.get()->clone());
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
