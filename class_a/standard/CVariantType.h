// CVariantType: the type code of a variant value.
//
// Nine codes, each with the name that every message uses for the type:
//
//   CVariantType t = CVariantType::kInteger;
//   t.name();                   // "integer"
//   CVariantType(9);            // raises "Cannot set variant data type from value 9."
//   switch (t) { case CVariantType::kString: ... }
#pragma once

#include <cstdint>

namespace qvt {

class CVariantType {
 public:
  enum Code : std::uint32_t {
    kUnknown = 0,
    kIPAddress = 1,
    kBoolean = 2,
    kTime = 3,
    kString = 4,
    kHexStore = 5,  // "byte sequence"
    kInteger = 6,
    kEndpoint = 7,
    kUInteger = 8,
  };
  // kCount: number of valid codes (0 to kCount - 1).
  static constexpr std::uint32_t kCount = 9;

  // CVariantType: unknown.
  constexpr CVariantType() noexcept = default;
  // CVariantType(code): one of the named codes; never fails.
  constexpr CVariantType(Code code) noexcept : code_(code) {}  // NOLINT(runtime/explicit)
  // CVariantType(value): a numeric code. Raises "Cannot set variant data type
  // from value %1." ("Illegal value.", operation "CVariantType::_checkValidity")
  // for a value above 8.
  explicit CVariantType(std::uint32_t value) : code_(_checkValidity(value)) {}

  // set: replaces the code; raises as the numeric constructor.
  void set(std::uint32_t value) { code_ = _checkValidity(value); }

  // code, value: the code as enumerator or number. The implicit conversion
  // lets a type be compared with an enumerator and used in a switch.
  constexpr Code code() const noexcept { return code_; }
  constexpr std::uint32_t value() const noexcept { return code_; }
  constexpr operator Code() const noexcept { return code_; }  // NOLINT(runtime/explicit)

  // name: "unknown", "ip address", "boolean", "time", "string", "byte
  // sequence", "integer", "ip endpoint" or "uinteger".
  const char* name() const noexcept { return name(code_); }
  static const char* name(Code code) noexcept;

  // _checkValidity: the value as a code; raises for a value above 8.
  static Code _checkValidity(std::uint32_t value);

 private:
  Code code_ = kUnknown;
};

}  // namespace qvt
