// CHostOptionContainer: a host option without elements: the message root,
// and options that only encapsulate further options ("subencoded",
// "fixed_offset", "topencoded", "control" and types without element storage).
//
//   CGeneralPtr<COption> root = makeMessageRoot(6);  // a container
//   root->count();                                   // 0
//   root->addChild(makeOption(clientIdDefinition));
//
// string() is empty and string(text) accepts only an empty text.
#pragma once

#include <cstdint>
#include <string>

#include "host/CHostOptionBase.h"

namespace qvt {

class CHostOptionContainer : public CHostOptionBase {
 public:
  explicit CHostOptionContainer(const COptionAttributes& attributes, COption* parent = nullptr,
                                std::uint64_t context = 0, bool messageRoot = false)
      : CHostOptionBase(attributes, parent, context, messageRoot) {}
  // CHostOptionContainer(shared, ...): reads a shared definition in place
  // (see COption).
  explicit CHostOptionContainer(CSharedDefinition shared, COption* parent = nullptr,
                                std::uint64_t context = 0, bool messageRoot = false)
      : CHostOptionBase(shared, parent, context, messageRoot) {}
  CHostOptionContainer(const CHostOptionContainer& other) = default;
  ~CHostOptionContainer() override;

  // clone: the sub-options copied; no parent.
  Ptr clone() const override;
  // clear: nothing to remove.
  void clear() override {}
  // addValue, setValue: raise "Cannot set a value of option %1." ("Option
  // type %1 holds no elements.", %1 the type name).
  void addValue(const CVariant& value) override;
  void setValue(std::size_t index, const CVariant& value) override;
  std::size_t count() const override { return 0; }

  std::string string() const override { return std::string(); }
  // string(text): raises as addValue for a non-empty text.
  void string(const std::string& text) override;
  // elementText: raises "Cannot access element %1 in option %2." ("Index out
  // of range."): there are no elements.
  std::string elementText(std::size_t index) const override;
};

}  // namespace qvt
