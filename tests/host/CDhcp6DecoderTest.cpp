#include "host/CDhcp6Decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CException.h"
#include "class_a/standard/CVariant.h"
#include "class_b/dhcp/dhcp_base/CValueTypeConverter.h"
#include "class_b/dhcp/dhcp_base/ErrorText.h"
#include "host/COptionDictionary.h"

namespace qvt::host {
namespace {

using Bytes = std::vector<unsigned char>;

// The definitions the tests decode with: independent of the shipped files.
const char* const kDefinitions = R"(
tagpath=0xffffff03
type=8bit
name=msg-type

tagpath=0xffffff02
type=8bit
name=hop-count

tagpath=0xffffff01
type=24bit
name=transaction-id

tagpath=0xffffff06
type=subencoded
name=relay

tagpath=0xffffff06/0xffffff03
type=8bit
name=relay-msg-type

tagpath=0xffffff06/0xffffff02
type=8bit
name=relay-hop-count

tagpath=0xffffff06/0xffffff04
type=ipaddress
name=relay-link-address

tagpath=0xffffff06/0xffffff05
type=ipaddress
name=relay-peer-address

tagpath=1
type=byte_sequence
name=client-id

tagpath=3
type=subencoded
name=ia-na
fixed_offsets="1,0,4","2,4,4","3,8,4"

tagpath=3/1
type=32bit
name=iaid

tagpath=3/5
type=subencoded
name=iaaddr
fixed_offsets="1,0,16","2,16,4","3,20,4"

tagpath=3/5/1
type=ipaddress
name=address

tagpath=8
type=16bit
name=elapsed-time

tagpath=16
type=string
name=vendor-class
arrayed=true
len_prefix_width=2
fixed_offsets="1,0,4","2,4,0"

tagpath=16/1
type=32bit
name=enterprise-number

tagpath=16/2
type=string
name=vendor-class-data
arrayed=true
len_prefix_width=2

tagpath=17
type=fixed_offset
name=vendor-opts
fixed_offsets="1,0,4","2,4,0"

tagpath=17/1
type=32bit
name=enterprise-number

tagpath=17/2
type=subencoded
name=vendor-options
subtag_width=2
sublen_width=2

tagpath=17/2/2
type=string
name=cablelabs-device-type
vendor_id=4491

tagpath=18
type=byte_sequence
name=interface-id

tagpath=24
type=dnsname
name=domain-list
arrayed=true

tagpath=37
type=fixed_offset
name=remote-id
fixed_offsets="1,0,4","2,4,0"

tagpath=37/1
type=32bit
name=enterprise-number

tagpath=37/2
type=byte_sequence
name=remote-id-value

tagpath=39
type=fixed_offset
name=client-fqdn
fixed_offsets="1,0,1","2,1,0"

tagpath=39/2
type=dnsname
name=name
)";

Bytes text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

Bytes cat(std::vector<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes option(std::uint16_t code, const Bytes& data) {
  Bytes out = {static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code),
               static_cast<unsigned char>(data.size() >> 8),
               static_cast<unsigned char>(data.size())};
  return cat({out, data});
}

// client: a message of type msgType, transaction id 0x0A0B0C, with options.
Bytes client(std::uint8_t msgType, const Bytes& options) {
  return cat({{msgType, 0x0A, 0x0B, 0x0C}, options});
}

// relay: a RELAY-FORW with hop count hops, link address 2001:db8::<hops>,
// peer address fe80::1, its own options and then the relayed message.
Bytes relay(std::uint8_t hops, const Bytes& options, const Bytes& inner) {
  Bytes header = {12, hops, 0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, hops};
  header.insert(header.end(), {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  return cat({header, options, option(9, inner)});
}

const Bytes kVendorClass = option(16, cat({{0, 0, 0x11, 0x8B, 0, 9}, text("docsis3.0")}));
const Bytes kSolicit =
    client(1, cat({option(1, {0, 3, 0, 1, 0xAA, 0xBB}), option(8, {0, 100}), kVendorClass}));

class CDhcp6DecoderTest : public testing::Test {
 protected:
  CDhcp6DecoderTest() : decoder_(dictionary_) { dictionary_.loadText(kDefinitions); }

  static std::vector<std::string> valuesOf(const CGeneralPtr<COption>& root,
                                           const std::string& path) {
    CGeneralPtr<COption> option;
    if (!root->tryGet(CTagPath(path), option, COptionType(), 0)) return {"absent"};
    std::vector<std::string> texts;
    const CValueTypeConverter converter(option);
    for (std::uint32_t i = 0; i < option->count(); ++i) {
      texts.push_back(converter.variant(i).string());
    }
    return texts;
  }

  void expectValues(const Bytes& payload,
                    const std::vector<std::pair<std::string, std::string>>& rows) {
    const CGeneralPtr<COption> root = decoder_.decode(payload);
    for (const auto& [path, value] : rows) {
      SCOPED_TRACE(path);
      const std::vector<std::string> values = valuesOf(root, path);
      std::string joined;
      for (const std::string& v : values)
        joined += (joined.empty() ? "" : ", ") + v;
      EXPECT_EQ(joined, value);
    }
  }

  COptionDictionary dictionary_;
  CDhcp6Decoder decoder_;
};

TEST_F(CDhcp6DecoderTest, ClientMessage) {
  const Bytes ia =
      option(3, cat({{0, 0, 0, 7, 0, 0, 0, 100, 0, 0, 0, 200},
                     option(5, cat({{0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x42},
                                    {0, 0, 0, 1, 0, 0, 0, 2}}))}));
  expectValues(cat({kSolicit, ia, option(24, cat({{3}, text("lab"), {0, 1, 'a', 0}}))}),
               {{"0xffffff03", "1"},
                {"0xffffff01", "658188"},
                {"0xffffff02", "absent"},
                {"0xffffff06", "absent"},
                {"1", "00-03-00-01-AA-BB"},
                {"8", "100"},
                {"16", "docsis3.0"},
                {"16/1", "4491"},
                {"16/2", "docsis3.0"},
                {"3/1", "7"},
                {"3/5/1", "2001:db8::42"},
                {"24", "lab, a"},
                {"99", "absent"}});
}

TEST_F(CDhcp6DecoderTest, OptionsByTheirDefinitions) {
  const std::vector<std::pair<Bytes, std::pair<std::string, std::string>>> rows = {
      {option(99, {1, 2}), {"99", "01-02"}},  // no definition
      {option(16, {0, 0, 0x11, 0x8B}), {"16/1", "4491"}},
      {option(16, {0, 0, 0x11, 0x8B}), {"16", ""}},
      {option(16, {0, 0, 0, 9, 0, 1, 'a', 0, 2, 'b', 'c'}), {"16/2", "a, bc"}},
      {option(17, cat({{0, 0, 0x11, 0x8B}, option(2, text("ECM"))})), {"17/2/2", "ECM"}},
      // Vendor-specific definitions apply to their enterprise only.
      {option(17, cat({{0, 0, 0, 9}, option(2, text("ECM"))})), {"17/2/2", "45-43-4D"}},
      {option(39, cat({{1, 4}, text("host"), {3}, text("lab"), {0}})), {"39/2", "host.lab"}},
      // A partial name, and zero bytes padding a name.
      {option(39, cat({{1, 4}, text("host")})), {"39/2", "host"}},
      {option(39, cat({{1, 4}, text("host"), {0, 0}})), {"39/2", "host"}},
  };
  for (const auto& [options, expected] : rows) {
    SCOPED_TRACE(expected.first + " = " + expected.second);
    expectValues(client(1, options), {expected});
  }
}

TEST_F(CDhcp6DecoderTest, RelayedMessageReadsAsTheClients) {
  const Bytes inner = relay(
      0, cat({option(18, text("port-7")), option(37, cat({{0, 0, 0x0D, 0xE9}, text("modem")}))}),
      kSolicit);
  const Bytes outer = relay(1, option(18, text("uplink")), inner);
  expectValues(outer, {{"0xffffff02", "1"},
                       {"0xffffff03", "1"},
                       {"0xffffff01", "658188"},
                       {"1", "00-03-00-01-AA-BB"},
                       {"16/1", "4491"},
                       {"16/2", "docsis3.0"},
                       {"18", "absent"},
                       {"9", "absent"},
                       {"0xffffff06/0xffffff03", "12"},
                       {"0xffffff06/0xffffff02", "1"},
                       {"0xffffff06/0xffffff04", "2001:db8::1"},
                       {"0xffffff06/0xffffff05", "fe80::1"},
                       {"0xffffff06/18", "75-70-6C-69-6E-6B"},
                       {"0xffffff06/9", "absent"},
                       {"0xffffff06/0xffffff06/0xffffff02", "0"},
                       {"0xffffff06/0xffffff06/0xffffff04", "2001:db8::"},
                       {"0xffffff06/0xffffff06/18", "70-6F-72-74-2D-37"},
                       {"0xffffff06/0xffffff06/37/1", "3561"},
                       {"0xffffff06/0xffffff06/37/2", "6D-6F-64-65-6D"}});
  const CGeneralPtr<COption> root = decoder_.decode(outer);
  const CGeneralPtr<COption> interface =
      root->get(CTagPath("0xffffff06/0xffffff06/18"), COptionType(), 0);
  EXPECT_EQ(interface->fullTagPath().string(), "0xffffff06/0xffffff06/18");
  EXPECT_EQ(interface->wireOffset(), 34u + 10u + 4u + 34u);
  // Outer relay 48 bytes up to its option 9's data, inner relay 34 + 10 + 13
  // + 4, then the client's header.
  EXPECT_EQ(root->get(CTagPath("1"), COptionType(), 0)->wireOffset(), 113u);
}

TEST_F(CDhcp6DecoderTest, RefusesMalformedMessages) {
  Bytes deep = kSolicit;
  for (int i = 0; i < 33; ++i)
    deep = relay(static_cast<std::uint8_t>(i), {}, deep);
  const std::vector<std::pair<Bytes, std::string>> rows = {
      {{}, "The packet ends at offset 0, inside the message header of 4 bytes."},
      {{1, 2}, "The packet ends at offset 2, inside the message header of 4 bytes."},
      {Bytes(20, 12), "The packet ends at offset 20, inside the relay header of 34 bytes."},
      {relay(0, {}, {1, 2}),
       "The relayed message ends at offset 40, inside the message header of 4 bytes."},
      {client(1, {0, 1, 0, 10, 1, 2}),
       "Option 1 at offset 4 runs past the end of the packet (length 10, 2 bytes left)."},
      {client(1, {0, 1, 0}),
       "Option at offset 4 runs past the end of the packet (3 bytes left, its code and length "
       "need 4)."},
      {relay(0, {}, client(1, {0, 1, 0, 10, 1, 2})),
       "Option 1 at offset 42 runs past the end of the relayed message (length 10, 2 bytes "
       "left)."},
      {cat({relay(0, {}, kSolicit), {0, 18, 0, 9}}),
       "Option 18 at offset 77 runs past the end of the packet (length 9, 0 bytes left)."},
      {cat({relay(0, {}, {}), option(9, kSolicit)}),
       "Relay message at offset 0 carries more than one relay message option (9)."},
      {cat({{12, 0}, Bytes(32, 0), option(18, {1})}),
       "Relay message at offset 0 carries no relay message option (9)."},
      {deep, "Relay message at offset 1216 is nested deeper than 32 levels."},
      {client(1, option(8, {1})), "Option 8 at offset 4 has 1 bytes of data; type 16bit needs 2."},
      {client(1, option(16, {0, 0})),
       "Option 16 at offset 4 has 2 bytes of data, too few for its field 1 (offset 0, length "
       "4)."},
      {client(1, option(16, {0, 0, 0, 9, 0, 5, 'a'})),
       "Item at offset 12 of option 16/2 runs past the end of the option (length 5, 1 bytes "
       "left)."},
      {client(1, option(3, cat({{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 5, 0, 30, 0}}))),
       "Sub-option 5 at offset 20 runs past the end of option 3 (length 30, 1 bytes left)."},
      {client(1, option(39, cat({{1, 0xC0, 0}}))),
       "Label length 192 at offset 9 of option 39/2 is invalid."},
      {client(1, option(39, cat({{1, 4}, text("host"), {0, 7}}))),
       "Option 39/2 at offset 9 has 1 bytes after its value."},
  };
  for (const auto& row : rows) {
    const auto& payload = row.first;
    const auto& reason = row.second;
    SCOPED_TRACE(reason);
    EXPECT_EQ(errorText([&] { decoder_.decode(payload); }),
              "Cannot decode DHCPv6 message. (" + reason + ")");
  }
}

TEST(CDhcp6DecoderShippedTest, ReadsVendorClass) {
  const CGeneralPtr<COption> root = CDhcp6Decoder::shipped().decode(kSolicit);
  const CValueTypeConverter enterprise(root->get(CTagPath("16/1"), COptionType(), 0));
  EXPECT_EQ(enterprise.toUInt32(0), 4491u);
  const CValueTypeConverter classData(root->get(CTagPath("16/2"), COptionType(), 0));
  EXPECT_EQ(classData.toString(0), "docsis3.0");
}

}  // namespace
}  // namespace qvt::host
