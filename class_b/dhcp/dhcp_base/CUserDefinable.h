// CUserDefinable: whether users may (0 "allowed"), must (1 "required") or may
// not (2 "disallowed") give a value for an option.
//
//   CUserDefinable state;
//   state.string("False");  // 2, written "disallowed"
#pragma once

#include <cstdint>
#include <string>

#include "class_a/standard/CObject.h"

namespace qvt {

class CUserDefinable : public CObject {
 public:
  enum State : std::int32_t { eAllowed = 0, eRequired = 1, eDisallowed = 2 };

  // CUserDefinable: "allowed".
  CUserDefinable() = default;
  explicit CUserDefinable(std::int32_t state) : state_(state) {}
  ~CUserDefinable() override;

  std::int32_t state() const { return state_; }
  void setState(std::int32_t state) { state_ = state; }

  // string(text): "allowed", "required", "disallowed", or "true" (allowed)
  // and "false" (disallowed), ignoring case. Raises "Cannot deserialize
  // 'user_definable' value '%1'." ("Illegal value.") for any other text; the
  // state is then unchanged.
  void string(const std::string& text) override;
  // string(): the state's name. Raises "Cannot de-serialize user-definable
  // object." ("Unknown state.") for a state other than 0, 1 or 2.
  std::string string() const override;

  bool operator==(const CUserDefinable& other) const { return state_ == other.state_; }
  bool operator!=(const CUserDefinable& other) const { return state_ != other.state_; }

 private:
  std::int32_t state_ = eAllowed;
};

}  // namespace qvt
