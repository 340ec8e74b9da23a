#include "class_b/dhcp/dhcp_base/COptionType.h"

#include "class_a/standard/Fail.h"
#include "class_b/dhcp/dhcp_base/TextCase.h"

namespace qvt {

namespace {

struct CTypeName {
  const char* name;
  COptionType::Code code;
};

constexpr CTypeName kAcceptedNames[] = {
    {"8bit", COptionType::e8bit},
    {"16bit", COptionType::e16bit},
    {"24bit", COptionType::e24bit},
    {"32bit", COptionType::e32bit},
    {"64bit", COptionType::e64bit},
    {"128bit", COptionType::e128bit},
    {"string", COptionType::eString},
    {"dnsname", COptionType::eDNSName},
    {"time", COptionType::eTime},
    {"boolean", COptionType::eBoolean},
    {"bool", COptionType::eBoolean},
    {"ipaddress", COptionType::eIPAddress},
    {"ipaddr", COptionType::eIPAddress},
    {"ip_endpoint", COptionType::eIPEndpoint},
    {"subencoded", COptionType::eSubencoded},
    {"subenc", COptionType::eSubencoded},
    {"topencoded", COptionType::eTopencoded},
    {"topenc", COptionType::eTopencoded},
    {"byte_sequence", COptionType::eByteSequence},
    {"byte_seq", COptionType::eByteSequence},
    {"bytes", COptionType::eByteSequence},
    {"mac", COptionType::eByteSequence},
    {"hardware_address", COptionType::eByteSequence},
    {"hexstore", COptionType::eByteSequence},
    {"control", COptionType::eControl},
    {"fixed_offset", COptionType::eFixedOffset},
    {"snmp_oid", COptionType::eSNMPOID},
    {"expression", COptionType::eExpression},
};

constexpr const char* kCanonicalNames[] = {
    "8bit",          "16bit",        "24bit",      "32bit",       "64bit",
    "128bit",        "string",       "ipaddress",  "boolean",     "time",
    "byte_sequence", "subencoded",   "topencoded", "dnsname",     "expression",
    "control",       "fixed_offset", "snmp_oid",   "ip_endpoint",
};

}  // namespace

COptionType::~COptionType() = default;

void COptionType::string(const std::string& text) {
  for (const CTypeName& entry : kAcceptedNames) {
    if (equalsIgnoringCase(text, entry.name)) {
      code_ = entry.code;
      return;
    }
  }
  code_ = eUnknown;
  fail(CRaiser::of(*this), "dhcp_base", "COptionType::string", "Cannot serialize option type.",
       {"Unknown option type '%1'.", text});
}

std::string COptionType::string() const {
  if (code_ < sizeof kCanonicalNames / sizeof kCanonicalNames[0]) return kCanonicalNames[code_];
  return "unknown";
}

}  // namespace qvt
