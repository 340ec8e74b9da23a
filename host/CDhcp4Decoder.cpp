#include "host/CDhcp4Decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "class_a/standard/CException.h"
#include "host/CByteReader.h"
#include "host/CDhcpOptionReader.h"
#include "host/CHostOptionBase.h"
#include "host/CHostOptionFactory.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"

namespace qvt::host {

namespace {

const CDecodeSite kSite{"CDhcp4Decoder::decode", "Cannot decode DHCPv4 message."};

constexpr std::size_t kCookieOffset = 236;
constexpr std::size_t kOptionsOffset = 240;
constexpr std::array<unsigned char, 4> kMagicCookie = {0x63, 0x82, 0x53, 0x63};
constexpr std::uint8_t kPad = 0;
constexpr std::uint8_t kEnd = 255;
constexpr std::uint32_t kOverload = 52;
constexpr std::uint32_t kVendorClass = 60;
constexpr std::uint8_t kOverloadFile = 1;
constexpr std::uint8_t kOverloadSname = 2;

constexpr std::uint32_t code(std::int32_t signedCode) {
  return static_cast<std::uint32_t>(signedCode);
}

// CHeaderField: a BOOTP header field: its pseudo-option code and its bytes.
struct CHeaderField {
  std::uint32_t code;
  std::size_t offset;
  std::size_t length;  // 0: the hardware address, hlen bytes
};

constexpr std::uint32_t kSname = code(-22);
constexpr std::uint32_t kFile = code(-32);
constexpr std::array<CHeaderField, 14> kHeader = {{
    {code(-16), 0, 1},   // op
    {code(-26), 1, 1},   // htype
    {code(-27), 2, 1},   // hlen
    {code(-28), 3, 1},   // hops
    {code(-29), 4, 4},   // xid
    {code(-24), 8, 2},   // secs
    {code(-25), 10, 2},  // flags
    {code(-18), 12, 4},  // ciaddr
    {code(-19), 16, 4},  // yiaddr
    {code(-20), 20, 4},  // siaddr
    {code(-21), 24, 4},  // giaddr
    {code(-30), 28, 0},  // chaddr
    {kSname, 44, 64},    // sname
    {kFile, 108, 128},   // file
}};
constexpr std::uint32_t kCookie = code(-31);

// CJoined: one option with the data of all its instances.
struct CJoined {
  std::uint32_t code;
  std::size_t offset;                // the first instance's tag
  CByteReader data;                  // the first instance's data, or
  std::vector<unsigned char> bytes;  // the joined data of several
  std::size_t instances;
};

// scanArea: appends the options of area (up to End) to instances.
void scanArea(const CDhcpOptionReader& reader, CByteReader area, const std::string& areaName,
              std::vector<CDhcpOptionReader::CRawOption>& instances) {
  while (!area.empty()) {
    const std::uint8_t tag = area.peek();
    if (tag == kPad) {
      area.skip(1);
      continue;
    }
    if (tag == kEnd) break;
    instances.push_back(reader.nextOption(area, 1, 1, "Option", areaName));
  }
}

std::vector<CJoined> join(const std::vector<CDhcpOptionReader::CRawOption>& instances) {
  std::vector<CJoined> joined;
  std::array<int, 256> index;
  index.fill(-1);
  for (const CDhcpOptionReader::CRawOption& instance : instances) {
    int& at = index[instance.tag & 0xFFu];
    if (at < 0) {
      at = static_cast<int>(joined.size());
      joined.push_back({instance.tag, instance.offset, instance.data, {}, 1});
      continue;
    }
    CJoined& option = joined[static_cast<std::size_t>(at)];
    if (option.instances++ == 1) {
      option.bytes.assign(option.data.current(), option.data.current() + option.data.remaining());
    }
    option.bytes.insert(option.bytes.end(), instance.data.current(),
                        instance.data.current() + instance.data.remaining());
  }
  for (CJoined& option : joined) {
    if (option.instances > 1) {
      option.data =
          CByteReader(option.bytes.data(), option.bytes.size(), kSite, option.data.offset());
    }
  }
  return joined;
}

const CJoined* findJoined(const std::vector<CJoined>& joined, std::uint32_t tag) {
  for (const CJoined& option : joined) {
    if (option.code == tag) return &option;
  }
  return nullptr;
}

COptionDictionary loadDictionary(const char* fileName) {
  COptionDictionary dictionary;
  dictionary.load(COptionDictionary::defaultDirectory(), fileName);
  return dictionary;
}

CGeneralPtr<CVendorLookup> loadVendors() {
  CVendorFile vendors;
  vendors.load(COptionDictionary::defaultDirectory(), "vendors.defs");
  return vendors.makeLookup();
}

struct CShipped {
  COptionDictionary dictionary{loadDictionary("dhcp4.defs")};
  CDhcp4Decoder decoder{dictionary, loadVendors()};
};

}  // namespace

CDhcp4Decoder::CDhcp4Decoder(const COptionDictionary& dictionary,
                             CGeneralPtr<CVendorLookup> vendors)
    : dictionary_(dictionary), vendors_(std::move(vendors)) {}

const CDhcp4Decoder& CDhcp4Decoder::shipped() {
  static const CShipped shipped;
  return shipped.decoder;
}

CGeneralPtr<COption> CDhcp4Decoder::decode(const unsigned char* data, std::size_t size) const {
  const CDhcpOptionReader reader(dictionary_, 4, kSite);
  const CByteReader packet(data, size, kSite);
  if (size < kHeaderSize) {
    reader.failMalformed(
        {"The packet ends at offset %1, inside the fixed header of %2 bytes.", size, kHeaderSize});
  }
  const std::size_t hardwareLength = data[2];
  if (hardwareLength > kMaxHardwareLength) {
    reader.failMalformed({"Hardware address length %1 at offset 2 is larger than %2.",
                          hardwareLength, kMaxHardwareLength});
  }
  auto slice = [&packet](std::size_t offset, std::size_t length) {
    CByteReader bytes = packet;
    bytes.skip(offset);
    return bytes.sub(length);
  };

  const bool dhcp = size >= kOptionsOffset &&
                    std::equal(kMagicCookie.begin(), kMagicCookie.end(), data + kCookieOffset);
  std::vector<CDhcpOptionReader::CRawOption> instances;
  std::uint8_t overload = 0;
  if (dhcp) {
    scanArea(reader, slice(kOptionsOffset, size - kOptionsOffset), "the packet", instances);
    for (const auto& instance : instances) {
      if (instance.tag == kOverload && instance.data.remaining() == 1) {
        overload = instance.data.peek();
        break;
      }
    }
    if (overload & kOverloadFile) scanArea(reader, slice(108, 128), "the file field", instances);
    if (overload & kOverloadSname) scanArea(reader, slice(44, 64), "the sname field", instances);
  }
  const std::vector<CJoined> joined = join(instances);

  CGeneralPtr<COption> root = makeMessageRoot(4);
  // A root made by makeMessageRoot is a host option.
  static_cast<CHostOptionBase&>(*root.get()).reserveChildren(kHeader.size() + 1 + joined.size());
  auto add = [&](std::uint32_t tag, std::int32_t enterprise, const CByteReader& bytes,
                 std::size_t offset) {
    const CTagPath path(tag);
    root->addChild(reader.decode({path, path, enterprise}, bytes, offset));
  };
  for (const CHeaderField& field : kHeader) {
    if ((field.code == kSname && (overload & kOverloadSname)) ||
        (field.code == kFile && (overload & kOverloadFile))) {
      continue;
    }
    const std::size_t length = field.length != 0 ? field.length : hardwareLength;
    add(field.code, 0, slice(field.offset, length), field.offset);
  }
  if (size >= kOptionsOffset) add(kCookie, 0, slice(kCookieOffset, 4), kCookieOffset);

  std::int32_t enterprise = 0;
  const CJoined* vendorClass = findJoined(joined, kVendorClass);
  if (vendorClass && vendors_) {
    const std::string_view text(reinterpret_cast<const char*>(vendorClass->data.current()),
                                vendorClass->data.remaining());
    // An unknown vendor: the general definitions apply. The entry is read in
    // place, so decoders on several threads may share the lookup.
    const CVendorLookup::Entry* vendor = vendors_->find(text);
    try {
      if (vendor != nullptr && vendor->second) {
        const CVendorID id = vendor->second.get()->vendorId();
        if (id.depth() > 0) enterprise = id[0];
      }
    } catch (const CException&) {
    }
  }
  for (const CJoined& option : joined)
    add(option.code, enterprise, option.data, option.offset);
  return root;
}

}  // namespace qvt::host
