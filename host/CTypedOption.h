// CTypedOption<T>: a host option whose elements are values of type T; it is
// at the same time a std::vector<T>, which COption::storage<T>() reaches.
//
// The element type follows the option type of the definition:
//
//   8bit -> std::uint8_t         16bit -> std::uint16_t
//   24bit, 32bit -> std::uint32_t 64bit -> std::uint64_t
//   128bit, byte_sequence, snmp_oid -> CHexStore
//   string, dnsname -> std::string  ipaddress -> CIPAddress
//   ip_endpoint -> CEndpoint      time -> CTimeT
//   boolean -> bool               expression -> CExpression
//
// makeOption (CHostOptionFactory.h) picks the instantiation for a
// definition:
//
//   CTypedOption<std::uint8_t> type(definitionOf53);
//   type.push_back(1);                          // DHCPDISCOVER
//   type.addValue(CVariant(std::uint64_t{3}));  // converted and range checked
//
// Instantiated for exactly the element types above.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/CHostOptionBase.h"

namespace qvt {

class CExpEval;

template <class T>
class CTypedOption : public CHostOptionBase, public std::vector<T> {
 public:
  using Elements = std::vector<T>;
  using CHostOptionBase::insert;
  using Elements::insert;

  explicit CTypedOption(const COptionAttributes& attributes, COption* parent = nullptr,
                        std::uint64_t context = 0)
      : CHostOptionBase(attributes, parent, context) {
    _registerStorage<T>(this);
  }
  // CTypedOption(shared, ...): reads a shared definition in place (see
  // COption).
  explicit CTypedOption(CSharedDefinition shared, COption* parent = nullptr,
                        std::uint64_t context = 0)
      : CHostOptionBase(shared, parent, context) {
    _registerStorage<T>(this);
  }
  CTypedOption(const CTypedOption& other)
      : CHostOptionBase(other), Elements(other), evaluator_(other.evaluator_) {
    _registerStorage<T>(this);
  }
  ~CTypedOption() override;

  Elements& elements() { return *this; }
  const Elements& elements() const { return *this; }

  // clone: elements and sub-options copied; no parent.
  Ptr clone() const override;
  // clear: removes every element.
  void clear() override { Elements::clear(); }
  // addValue: appends value converted to T: integers through uinteger() and
  // refused above the type's range (a "24bit" option above 0xffffff), texts
  // through string(), addresses through ipaddress(general, keep family), and
  // so on. An expression option compiles the value's text with the evaluator
  // given to setEvaluator. Raises "Cannot set a value of option %1." with
  // the reason "Value %1 is out of range for type %2." or "No evaluator is
  // set for expression options.", and the variant's conversion errors.
  void addValue(const CVariant& value) override;
  // setValue: as addValue, replacing element index; raises "Cannot access
  // element %1 in option %2." ("Index out of range.") for a missing index.
  void setValue(std::size_t index, const CVariant& value) override;
  std::size_t count() const override { return Elements::size(); }

  // string(): the element texts joined by ", ".
  std::string string() const override;
  // string(text): replaces the elements by one element read from text as
  // a variant of the element's variant type (uinteger, string, byte
  // sequence, ...), then converted as addValue converts.
  void string(const std::string& text) override;
  std::string elementText(std::size_t index) const override;

  // setEvaluator: the evaluator that compiles the values of an expression
  // option (not owned); unused by the other element types.
  void setEvaluator(CExpEval* evaluator) { evaluator_ = evaluator; }
  CExpEval* evaluator() const { return evaluator_; }

 private:
  T _fromVariant(const CVariant& value) const;

  CExpEval* evaluator_ = nullptr;
};

}  // namespace qvt
