// CDhcp4Decoder: a DHCPv4 message, as received, becomes the option tree the
// evaluators read.
//
// The root (makeMessageRoot(4)) holds the BOOTP header fields as
// pseudo-options under the negative codes of the dictionary (-16 op, -26
// htype, -27 hlen, -28 hops, -29 xid, -24 secs, -25 flags, -18 ciaddr, -19
// yiaddr, -20 siaddr, -21 giaddr, -30 chaddr of hlen bytes, -22 sname, -32
// file, -31 magic cookie), then the options in the order they first appear.
// Each option is decoded by its definition (CDhcpOptionReader); an option
// without definition is a byte sequence:
//
//   CGeneralPtr<COption> root = CDhcp4Decoder::shipped().decode(payload);
//   root->get(CTagPath("82/1"), COptionType(), 0);   // the circuit id
//
// Pad (0) and End (255) are not options. Options in the sname and file
// fields are decoded when option 52 says so (those fields are then not
// listed as texts). An option that appears several times is one option
// whose data are the instances' data joined in order (RFC 3396: options
// field, then file, then sname); error offsets inside such joined data count
// as if the instances were contiguous from the first one. The vendor of
// option 60 (through the vendor lookup) selects vendor-specific definitions,
// for instance those of option 43 for CableLabs devices.
//
// Malformed messages raise "Cannot decode DHCPv4 message." with a reason
// naming the offset, e.g. "Option 60 at offset 240 runs past the end of the
// packet (length 12, 5 bytes left)."
#pragma once

#include <cstddef>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_base/CVendorLookup.h"

namespace qvt {
class COptionDictionary;
}

namespace qvt::host {

class CDhcp4Decoder {
 public:
  // kHeaderSize: the fixed BOOTP header before the magic cookie.
  static constexpr std::size_t kHeaderSize = 236;
  // kMaxHardwareLength: the size of the chaddr field.
  static constexpr std::size_t kMaxHardwareLength = 16;

  // CDhcp4Decoder: decodes with dictionary (not copied; it must outlive the
  // decoder) and, when given, vendors for option 60's vendor.
  explicit CDhcp4Decoder(const COptionDictionary& dictionary,
                         CGeneralPtr<CVendorLookup> vendors = CGeneralPtr<CVendorLookup>());

  // decode: the option tree of the message in size bytes at data. Raises
  // "Cannot decode DHCPv4 message." (operation "CDhcp4Decoder::decode") for
  // a malformed message: a header shorter than 236 bytes, hlen above 16, an
  // option or sub-option running past its area, data that does not fit the
  // option's definition. Several threads may decode with one decoder at
  // once: it only reads the dictionary and the vendor lookup (in place,
  // without copying their holders); each decoded tree belongs to its caller.
  CGeneralPtr<COption> decode(const unsigned char* data, std::size_t size) const;
  CGeneralPtr<COption> decode(const std::vector<unsigned char>& payload) const {
    return decode(payload.data(), payload.size());
  }

  // shipped: a decoder with the dictionaries dhcp4.defs and vendors.defs of
  // COptionDictionary::defaultDirectory(), loaded on first use. Raises the
  // dictionaries' load errors (and tries again on the next call).
  static const CDhcp4Decoder& shipped();

 private:
  const COptionDictionary& dictionary_;
  CGeneralPtr<CVendorLookup> vendors_;
};

}  // namespace qvt::host
