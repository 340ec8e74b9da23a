// CValueTypeConverter: the one way to read an element of an option as a
// value.
//
// Every read checks the element index first. A read whose target matches
// the option's type takes the element straight from the option's storage;
// any other read goes through the element's variant and converts it:
//
//   CValueTypeConverter values(option);   // a "24bit" option holding 0x123456
//   values.toUInt32(0);                   // 0x123456, read natively
//   values.toUInt8(0);                    // 0x56, through the variant
//   values.variant(0).type();             // integer
//   values.toUInt8(1);                    // raises: index out of range
//
// A failed read changes nothing; the converter and the option stay usable.
#pragma once

#include <cstdint>
#include <string>

#include "class_a/standard/CEndpoint.h"
#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"
#include "class_a/standard/CTimeT.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_base/COption.h"

namespace qvt {

class CValueTypeConverter {
 public:
  // CValueTypeConverter: reads option (shared, not copied).
  explicit CValueTypeConverter(const CGeneralPtr<COption>& option) : option_(option) {}
  virtual ~CValueTypeConverter();

  const CGeneralPtr<COption>& option() const { return option_; }

  // Every operation below first checks index against the option's element
  // count and raises "Cannot access element %1 in option %2." ("Index out of
  // range.") when it is not below it. A null option raises "Cannot
  // dereference pointer." ("Pointee is null.").

  // variant: the element as a variant (see _asVariant).
  CVariant variant(std::uint32_t index) const;

  // toUInt8, get(uint8): native for "8bit"; otherwise the low 8 bits of the
  // variant's uinteger().
  std::uint8_t toUInt8(std::uint32_t index) const;
  void get(std::uint32_t index, std::uint8_t& value) const { value = toUInt8(index); }
  // toUInt16, get(uint16): native for "16bit"; otherwise the low 16 bits.
  std::uint16_t toUInt16(std::uint32_t index) const;
  void get(std::uint32_t index, std::uint16_t& value) const { value = toUInt16(index); }
  // toUInt32, get(uint32): native for "32bit" and "24bit"; otherwise the low
  // 32 bits.
  std::uint32_t toUInt32(std::uint32_t index) const;
  void get(std::uint32_t index, std::uint32_t& value) const { value = toUInt32(index); }
  // toUInt64, get(uint64): native for "64bit"; otherwise the variant's
  // uinteger().
  std::uint64_t toUInt64(std::uint32_t index) const;
  void get(std::uint32_t index, std::uint64_t& value) const { value = toUInt64(index); }

  // toString: native for "string"; otherwise the variant's text form
  // (string() without a separator argument: a byte sequence keeps its own
  // separator, "0A-1B").
  std::string toString(std::uint32_t index) const;
  // toIPAddress: native for "ipaddress"; otherwise the variant's
  // ipaddress(family, keepFamily true). For an element that is not an
  // address the variant needs family ipv4 or ipv6 (a 4-byte sequence as an
  // IPv4 address) and raises its own error otherwise.
  CIPAddress toIPAddress(std::uint32_t index,
                         CVariantSubType family = CVariantSubType::kGeneral) const;
  // toEndpoint: native for "ip_endpoint"; otherwise the variant's endpoint().
  CEndpoint toEndpoint(std::uint32_t index) const;
  // toTime: native for "time"; otherwise the variant's time().
  CTimeT toTime(std::uint32_t index) const;
  // toHexStore: native for "byte_sequence"; otherwise the variant's
  // hexstore().
  CHexStore toHexStore(std::uint32_t index) const;
  // toBoolean: native for "boolean"; otherwise the variant's boolean().
  bool toBoolean(std::uint32_t index) const;

  // variantOf: element index of option as variant(index) of a converter over
  // option gives it, into value, without holding the option. False, with
  // value unchanged, wherever that operation would raise (no element index,
  // a type that does not convert) and for an "expression" option: the
  // caller then reads through a converter, which raises or evaluates.
  static bool variantOf(const COption& option, std::uint32_t index, CVariant& value);

  // _throwSize: raises the index error when index + 1 exceeds the option's
  // element count (an option without elements refuses every index).
  void _throwSize(std::uint32_t index) const;

  // _asVariant: element index as a variant, by option type: the integer
  // types give an integer, "128bit" and "byte_sequence" a byte sequence,
  // "string" and "dnsname" a string, "snmp_oid" the string of its bytes' text
  // form, "ipaddress", "ip_endpoint", "time" and "boolean" their own types,
  // and "expression" the first value of the element's evaluation. Raises
  // "Cannot convert a subencoded option to a variant.", "... a topencoded
  // option ...", "Cannot convert protocol control data type to a variant.",
  // "Cannot convert a fixed_offset option to a variant." or "Cannot convert
  // unknown data type to a variant." (reason "Invalid conversion."), and for
  // an expression that yields no value "Cannot convert the expression of
  // option %1 to a variant." ("The expression yields no value."). Does not
  // check the index.
  CVariant _asVariant(std::uint32_t index) const;

 private:
  CGeneralPtr<COption> option_;
};

}  // namespace qvt
