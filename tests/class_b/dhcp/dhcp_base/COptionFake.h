// COptionFake<T>: a minimal concrete option for the data model's tests: a
// std::vector<T> of elements and a flat list of sub-options found by their
// own tag. The host's real options live in host/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_base/COption.h"

namespace qvt::test {

template <class T>
class COptionFake : public COption, public std::vector<T> {
 public:
  // COptionFake: type is an option type name ("24bit"), parent not owned.
  COptionFake(std::uint32_t ownTag, const std::string& type, COption* parent = nullptr)
      : COption(0, ownTag, parent) {
    attributes().type().string(type);
  }

  std::string string() const override { return std::string(); }
  void string(const std::string&) override {}

  Ptr clone() const override { return Ptr(new COptionFake(*this)); }
  void clear() override { std::vector<T>::clear(); }
  void addValue(const CVariant&) override {}
  void setValue(std::size_t, const CVariant&) override {}
  std::size_t count() const override { return std::vector<T>::size(); }

  bool contains(const CTagPath& path, const COptionType& type,
                std::uint32_t selector) const override {
    return find(path, -1, type, selector) != nullptr;
  }
  std::size_t instances(const CTagPath& path, const COptionType& type,
                        std::uint32_t selector) const override {
    return contains(path, type, selector) ? 1 : 0;
  }
  COption* find(const CTagPath& path, std::int32_t, const COptionType&,
                std::uint32_t) const override {
    for (const Ptr& child : children_) {
      if (path.depth() == 1 && child.get()->ownTag() == path[0]) return child.get();
    }
    return nullptr;
  }
  void getAll(const CTagPath&, List&, const COptionType&, std::uint32_t) const override {}
  void addChild(const Ptr& child) override {
    children_.push_back(child);
    child.get()->setParent(this);
  }
  void fill(const CTagPath& path, Ptr& holder, std::int32_t, const COptionType&,
            std::uint32_t) const override {
    holder = nullptr;
    for (const Ptr& child : children_) {
      if (path.depth() == 1 && child.get()->ownTag() == path[0]) holder = child;
    }
  }
  Ptr get(const CTagPath& path, const COptionType& type, std::uint32_t selector) const override {
    Ptr holder;
    fill(path, holder, -1, type, selector);
    if (!holder) _failMissing(path, "COption::get");
    return holder;
  }
  bool tryGet(const CTagPath& path, Ptr& holder, const COptionType& type,
              std::uint32_t selector) const override {
    fill(path, holder, -1, type, selector);
    return static_cast<bool>(holder);
  }
  std::size_t remove(const CTagPath&, const COptionType&, std::uint32_t) override { return 0; }
  void clearChildren() override { children_.clear(); }
  void insert(const CTagPath&, const Ptr& option) override { addChild(option); }
  bool equals(const COption& other) const override { return &other == this; }

 private:
  List children_;
};

}  // namespace qvt::test
