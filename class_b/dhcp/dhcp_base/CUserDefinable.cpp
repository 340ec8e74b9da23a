#include "class_b/dhcp/dhcp_base/CUserDefinable.h"

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/TextCase.h"

namespace qvt {

namespace {

struct CStateName {
  const char* name;
  CUserDefinable::State state;
};

constexpr CStateName kAcceptedNames[] = {
    {"disallowed", CUserDefinable::eDisallowed}, {"allowed", CUserDefinable::eAllowed},
    {"required", CUserDefinable::eRequired},     {"true", CUserDefinable::eAllowed},
    {"false", CUserDefinable::eDisallowed},
};

}  // namespace

CUserDefinable::~CUserDefinable() = default;

void CUserDefinable::string(const std::string& text) {
  for (const CStateName& entry : kAcceptedNames) {
    if (equalsIgnoringCase(text, entry.name)) {
      state_ = entry.state;
      return;
    }
  }
  fail(CRaiser::of(*this), "dhcp_base", "CUserDefinable::string",
       {"Cannot deserialize 'user_definable' value '%1'.", text}, "Illegal value.");
}

std::string CUserDefinable::string() const {
  switch (state_) {
    case eAllowed:
      return "allowed";
    case eRequired:
      return "required";
    case eDisallowed:
      return "disallowed";
  }
  fail(CRaiser::of(*this), "dhcp_base", "CUserDefinable::string",
       "Cannot de-serialize user-definable object.", "Unknown state.");
}

}  // namespace qvt
