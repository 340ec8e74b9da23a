#include "host/CDhcp6Decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/COptionDictionary.h"
#include "host/PayloadBuilder.h"

namespace qvt::host {
namespace {

using namespace qvt::host::test;
using qvt_test::errorText;

// client: a message of type msgType, transaction id 0x0A0B0C, with options.
Bytes client(std::uint8_t msgType, const Bytes& options) {
  return cat({{msgType, 0x0A, 0x0B, 0x0C}, options});
}

// relay: a RELAY-FORW with hop count hops, link address 2001:db8::<hops>,
// peer address fe80::1, its own options and then the relayed message.
Bytes relay(std::uint8_t hops, const Bytes& options, const Bytes& inner) {
  Bytes header = {12, hops, 0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, hops};
  header.insert(header.end(), {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  return cat({header, options, option6(9, inner)});
}

const Bytes kVendorClass = option6(16, cat({{0, 0, 0x11, 0x8B, 0, 9}, text("docsis3.0")}));
const Bytes kSolicit =
    client(1, cat({option6(1, {0, 3, 0, 1, 0xAA, 0xBB}), option6(8, {0, 100}), kVendorClass}));

class CDhcp6DecoderTest : public testing::Test {
 protected:
  CDhcp6DecoderTest() : decoder_(dictionary_) { dictionary_.load(kDataFolder, "dhcp6_test.defs"); }

  void expectValues(const Bytes& payload,
                    const std::vector<std::pair<std::string, std::string>>& rows) {
    const CGeneralPtr<COption> root = decoder_.decode(payload);
    for (const auto& [path, value] : rows) {
      SCOPED_TRACE(path);
      EXPECT_EQ(joinedValues(root, path), value);
    }
  }

  COptionDictionary dictionary_;
  CDhcp6Decoder decoder_;
};

TEST_F(CDhcp6DecoderTest, ClientMessage) {
  const Bytes ia = option6(
      3, cat({{0, 0, 0, 7, 0, 0, 0, 100, 0, 0, 0, 200},
              option6(5, cat({{0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x42},
                              {0, 0, 0, 1, 0, 0, 0, 2}}))}));
  expectValues(cat({kSolicit, ia, option6(24, cat({{3}, text("lab"), {0, 1, 'a', 0}}))}),
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

TEST_F(CDhcp6DecoderTest, OptionsOfTheDataFile) {
  const std::vector<CCaseRow> rows = caseRows("dhcp6_options.txt");
  ASSERT_EQ(rows.size(), 17u);
  for (const CCaseRow& row : rows) {
    SCOPED_TRACE(row.where);
    const Bytes payload = client(1, row.bytes);
    if (row.path.empty()) {
      EXPECT_EQ(errorText([&] { decoder_.decode(payload); }),
                "Cannot decode DHCPv6 message. (" + row.expected + ")");
    } else {
      EXPECT_EQ(joinedValues(decoder_.decode(payload), row.path), row.expected);
    }
  }
}

TEST_F(CDhcp6DecoderTest, RelayedMessageReadsAsTheClients) {
  const Bytes inner = relay(
      0, cat({option6(18, text("port-7")), option6(37, cat({{0, 0, 0x0D, 0xE9}, text("modem")}))}),
      kSolicit);
  const Bytes outer = relay(1, option6(18, text("uplink")), inner);
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
      {relay(0, {}, client(1, {0, 1, 0, 10, 1, 2})),
       "Option 1 at offset 42 runs past the end of the relayed message (length 10, 2 bytes "
       "left)."},
      {cat({relay(0, {}, kSolicit), {0, 18, 0, 9}}),
       "Option 18 at offset 77 runs past the end of the packet (length 9, 0 bytes left)."},
      {cat({relay(0, {}, {}), option6(9, kSolicit)}),
       "Relay message at offset 0 carries more than one relay message option (9)."},
      {cat({{12, 0}, Bytes(32, 0), option6(18, {1})}),
       "Relay message at offset 0 carries no relay message option (9)."},
      {deep, "Relay message at offset 1216 is nested deeper than 32 levels."},
  };
  for (const auto& [payload, reason] : rows) {
    SCOPED_TRACE(reason);
    EXPECT_EQ(errorText([&, &payload = payload] { decoder_.decode(payload); }),
              "Cannot decode DHCPv6 message. (" + reason + ")");
  }
}

// Nesting beyond the limit is refused; 16382 empty options, a 65535-byte
// datagram, decode.
TEST(CDhcp6DecoderLimitsTest, NestingAndLargestDatagram) {
  COptionDictionary dictionary;
  dictionary.loadText(nestedDefinitions("100", 50));
  const CDhcp6Decoder decoder(dictionary);
  EXPECT_EQ(errorText([&] { decoder.decode(client(1, option6(100, nested(32, 2)))); }), "no error");
  std::string path = "100";
  for (int level = 0; level < 33; ++level)
    path += "/1";
  EXPECT_EQ(errorText([&] { decoder.decode(client(1, option6(100, nested(40, 2)))); }),
            "Cannot decode DHCPv6 message. (Option " + path +
                " at offset 136 is nested deeper than 32 levels.)");
  Bytes options;
  for (int i = 0; i < 16382; ++i) {
    const Bytes empty = option6(static_cast<std::uint16_t>(1000 + i % 100), {});
    options.insert(options.end(), empty.begin(), empty.end());
  }
  EXPECT_EQ(CDhcp6Decoder::shipped().decode(client(1, options))->childCount(), 2u + 16382u);
}

}  // namespace
}  // namespace qvt::host
