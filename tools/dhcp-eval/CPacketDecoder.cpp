#include "tools/dhcp-eval/CPacketDecoder.h"

#include <utility>

namespace qvt::tool {

namespace {

COptionDictionary loaded(const char* fileName) {
  COptionDictionary dictionary;
  dictionary.load(COptionDictionary::defaultDirectory(), fileName);
  return dictionary;
}

}  // namespace

CPacketDecoder::CPacketDecoder(CGeneralPtr<CVendorLookup> vendors)
    : dhcp4_(loaded("dhcp4.defs")),
      dhcp6_(loaded("dhcp6.defs")),
      decoder4_(dhcp4_, std::move(vendors)),
      decoder6_(dhcp6_) {}

CGeneralPtr<COption> CPacketDecoder::decode(int family,
                                            const std::vector<unsigned char>& payload) const {
  return family == 6 ? decoder6_.decode(payload) : decoder4_.decode(payload);
}

}  // namespace qvt::tool
