// COptionType: the data type of an option's elements, a closed set of codes.
//
// The canonical names are what string() writes; string(text) also accepts
// the historical aliases, ignoring letter case:
//
//   COptionType type;
//   type.string("IPAddr");  // code eIPAddress
//   type.string();          // "ipaddress"
#pragma once

#include <cstdint>
#include <string>

#include "class_a/standard/CObject.h"

namespace qvt {

class COptionType : public CObject {
 public:
  enum Code : std::uint32_t {
    e8bit = 0,
    e16bit = 1,
    e24bit = 2,
    e32bit = 3,
    e64bit = 4,
    e128bit = 5,
    eString = 6,
    eIPAddress = 7,
    eBoolean = 8,
    eTime = 9,
    eByteSequence = 10,
    eSubencoded = 11,
    eTopencoded = 12,
    eDNSName = 13,
    eExpression = 14,
    eControl = 15,
    eFixedOffset = 16,
    eSNMPOID = 17,
    eIPEndpoint = 18,
    eUnknown = 19,
  };

  // COptionType: "unknown".
  COptionType() = default;
  // COptionType(code): any code; codes above 18 are written "unknown".
  explicit COptionType(std::uint32_t code) : code_(code) {}
  ~COptionType() override;

  std::uint32_t code() const { return code_; }
  void setCode(std::uint32_t code) { code_ = code; }
  // isInteger: true for the integer types "8bit" to "128bit" (codes below 6).
  bool isInteger() const { return code_ < 6; }
  // isEncapsulating: true for "subencoded" and "fixed_offset", whose options
  // hold further fields rather than plain values.
  bool isEncapsulating() const { return code_ == eSubencoded || code_ == eFixedOffset; }

  // string(text): sets the code from a name or alias, ignoring case. Raises
  // "Cannot serialize option type." ("Unknown option type '%1'.") for any
  // other text, leaving the code at eUnknown.
  void string(const std::string& text) override;
  // string(): the canonical name; "unknown" for codes outside 0 to 18.
  std::string string() const override;

  bool operator==(const COptionType& other) const { return code_ == other.code_; }
  bool operator!=(const COptionType& other) const { return code_ != other.code_; }

 private:
  std::uint32_t code_ = eUnknown;
};

}  // namespace qvt
