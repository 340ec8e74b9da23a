#include "host/CDhcp4Decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/COptionDictionary.h"
#include "host/CVendorFile.h"
#include "host/PayloadBuilder.h"

namespace qvt::host {
namespace {

using namespace qvt::host::test;
using qvt_test::errorText;

// message: a BOOTP request from 00-11-22-33-44-55 with hlen 6, xid
// 0x01020304, giaddr 10.1.2.3, the magic cookie, options, End.
Bytes message(const Bytes& options, bool end = true) {
  Bytes m(236, 0);
  m[0] = 1, m[1] = 1, m[2] = 6, m[3] = 2;
  m[4] = 1, m[5] = 2, m[6] = 3, m[7] = 4;
  m[9] = 7, m[10] = 0x80;
  m[24] = 10, m[25] = 1, m[26] = 2, m[27] = 3;
  for (int i = 0; i < 6; ++i)
    m[28 + i] = static_cast<unsigned char>(i * 0x11);
  const std::string sname = "boot-server";
  const std::string file = "pxelinux.0";
  std::copy(sname.begin(), sname.end(), m.begin() + 44);
  std::copy(file.begin(), file.end(), m.begin() + 108);
  m.insert(m.end(), {0x63, 0x82, 0x53, 0x63});
  m.insert(m.end(), options.begin(), options.end());
  if (end) m.push_back(255);
  return m;
}

class CDhcp4DecoderTest : public testing::Test {
 protected:
  CDhcp4DecoderTest() {
    dictionary_.load(kDataFolder, "dhcp4_test.defs");
    CVendorFile vendors;
    vendors.loadText("class=docsis*\nvendor_id=4491\n");
    decoder_ = std::make_unique<CDhcp4Decoder>(dictionary_, vendors.makeLookup());
  }

  std::vector<std::string> values(const Bytes& payload, const std::string& path) {
    const CGeneralPtr<COption> root = decoder_->decode(payload);
    return valuesOf(root, path);
  }

  COptionDictionary dictionary_;
  std::unique_ptr<CDhcp4Decoder> decoder_;
};

TEST_F(CDhcp4DecoderTest, HardwareAddressIsHlenBytes) {
  Bytes payload = message({});
  payload[2] = 16;
  EXPECT_EQ(values(payload, "0xffffffe2"),
            std::vector<std::string>{"00-11-22-33-44-55-00-00-00-00-00-00-00-00-00-00"});
  payload[2] = 0;
  EXPECT_EQ(values(payload, "0xffffffe2"), std::vector<std::string>{""});
}

TEST_F(CDhcp4DecoderTest, OptionsOfTheDataFile) {
  const std::vector<CCaseRow> rows = caseRows("dhcp4_options.txt");
  ASSERT_EQ(rows.size(), 39u);
  for (const CCaseRow& row : rows) {
    SCOPED_TRACE(row.where);
    const Bytes payload = message(row.bytes, false);
    if (row.path.empty()) {
      EXPECT_EQ(errorText([&] { decoder_->decode(payload); }),
                "Cannot decode DHCPv4 message. (" + row.expected + ")");
    } else {
      EXPECT_EQ(joinedValues(decoder_->decode(payload), row.path), row.expected);
    }
  }
}

TEST_F(CDhcp4DecoderTest, TypesAndWirePlaces) {
  const CGeneralPtr<COption> root =
      decoder_->decode(message(cat({option4(53, {1}), option4(82, {1, 1, 7})})));
  const CGeneralPtr<COption> circuit = root->get(CTagPath("82/1"), COptionType(), 0);
  EXPECT_EQ(circuit->type().string(), "byte_sequence");
  EXPECT_EQ(circuit->fullTagPath().string(), "82/1");
  EXPECT_EQ(circuit->wireOffset(), 245u);
  EXPECT_EQ(root->get(CTagPath("82"), COptionType(), 0)->wireOffset(), 243u);
  EXPECT_EQ(root->get(CTagPath("82"), COptionType(), 0)->type().string(), "subencoded");
  // The header codes read negative as signed numbers: -30 is chaddr.
  EXPECT_TRUE(root->contains(CTagPath(static_cast<std::uint32_t>(-30)), COptionType(), 0));
}

TEST_F(CDhcp4DecoderTest, OptionsReadTheDictionarysDefinitionsInPlace) {
  const CGeneralPtr<COption> root =
      decoder_->decode(message(cat({option4(53, {1}), option4(200, {1, 2})})));
  const COptionType any;
  // A definition that fits the packet as it stands is not copied.
  const COption* type = root->find(CTagPath("53"), -1, any, 0);
  EXPECT_EQ(&type->attributes(), dictionary_.find(CTagPath("53")));
  const COption* chaddr = root->find(CTagPath("0xffffffe2"), -1, any, 0);
  EXPECT_EQ(&chaddr->attributes(), dictionary_.find(CTagPath("0xffffffe2")));
  // An option without definition has one of its own.
  const COption* unknown = root->find(CTagPath("200"), -1, any, 0);
  EXPECT_EQ(unknown->attributes().name(), "option-200");
  EXPECT_EQ(unknown->type().string(), "byte_sequence");
  // Changing an option's attributes changes its own copy only.
  COption::Ptr changed = root->get(CTagPath("53"), any, 0);
  changed->attributes().setName("changed");
  EXPECT_EQ(dictionary_.find(CTagPath("53"))->name(), "message-type");
  EXPECT_EQ(changed->attributes().name(), "changed");
}

TEST_F(CDhcp4DecoderTest, OptionOverloadReadsFileAndSname) {
  Bytes payload = message(cat({option4(53, {1}), option4(52, {3})}));
  const Bytes inFile = cat({option4(12, text("from-file")), {255}});
  const Bytes inSname = cat({{0}, option4(50, {192, 168, 0, 9}), {255}});
  std::fill(payload.begin() + 44, payload.begin() + 236, 0);
  std::copy(inFile.begin(), inFile.end(), payload.begin() + 108);
  std::copy(inSname.begin(), inSname.end(), payload.begin() + 44);
  const CGeneralPtr<COption> root = decoder_->decode(payload);
  EXPECT_EQ(valuesOf(root, "12"), std::vector<std::string>{"from-file"});
  EXPECT_EQ(valuesOf(root, "50"), std::vector<std::string>{"192.168.0.9"});
  // The overloaded fields hold options, not texts.
  EXPECT_EQ(valuesOf(root, "0xffffffea"), std::vector<std::string>{"absent"});
  EXPECT_EQ(valuesOf(root, "0xffffffe0"), std::vector<std::string>{"absent"});
  EXPECT_EQ(root->get(CTagPath("50"), COptionType(), 0)->wireOffset(), 45u);

  // Overload 1 reads only the file field; sname stays a text.
  payload[245] = 1;
  const CGeneralPtr<COption> fileOnly = decoder_->decode(payload);
  EXPECT_EQ(valuesOf(fileOnly, "12"), std::vector<std::string>{"from-file"});
  EXPECT_EQ(valuesOf(fileOnly, "50"), std::vector<std::string>{"absent"});
  EXPECT_EQ(valuesOf(fileOnly, "0xffffffea"), std::vector<std::string>{""});
}

TEST_F(CDhcp4DecoderTest, SplitOptionIsJoined) {
  // RFC 3396: option 60 in two pieces, option 82 in two pieces that split a
  // sub-option, option 43 decoded by the vendor of the joined option 60.
  const Bytes payload =
      message(cat({option4(60, text("docs")), option4(82, {1, 4, 'a', 'b'}), option4(53, {1}),
                   option4(60, text("is3.0")), option4(82, {'c', 'd', 2, 1, 'e'}),
                   option4(43, cat({{2, 3}, text("ECM")}))}));
  const CGeneralPtr<COption> root = decoder_->decode(payload);
  EXPECT_EQ(valuesOf(root, "60"), std::vector<std::string>{"docsis3.0"});
  EXPECT_EQ(valuesOf(root, "82/1"), std::vector<std::string>{"61-62-63-64"});
  EXPECT_EQ(valuesOf(root, "82/2"), std::vector<std::string>{"65"});
  EXPECT_EQ(valuesOf(root, "43/2"), std::vector<std::string>{"ECM"});
  EXPECT_EQ(root->instances(CTagPath("60"), COptionType(), 0), 1u);
  // The joined option sits where its first piece was.
  EXPECT_EQ(root->child(15)->ownTag(), 60u);

  // Another vendor: option 43 stays a byte sequence.
  const Bytes other =
      message(cat({option4(60, text("MSFT 5.0")), option4(43, cat({{2, 3}, text("ECM")}))}));
  EXPECT_EQ(values(other, "43"), std::vector<std::string>{"02-03-45-43-4D"});
}

TEST_F(CDhcp4DecoderTest, RefusesMalformedHeaders) {
  Bytes wideHardware = message({});
  wideHardware[2] = 17;
  Bytes fileOverrun = message(option4(52, {1}));
  std::fill(fileOverrun.begin() + 108, fileOverrun.begin() + 236, 0);
  fileOverrun[230] = 66, fileOverrun[231] = 10;
  const std::vector<std::pair<Bytes, std::string>> rows = {
      {{}, "The packet ends at offset 0, inside the fixed header of 236 bytes."},
      {Bytes(100, 1), "The packet ends at offset 100, inside the fixed header of 236 bytes."},
      {wideHardware, "Hardware address length 17 at offset 2 is larger than 16."},
      {fileOverrun,
       "Option 66 at offset 230 runs past the end of the file field (length 10, 4 bytes left)."},
  };
  for (const auto& [payload, reason] : rows) {
    EXPECT_EQ(errorText([&, &payload = payload] { decoder_->decode(payload); }),
              "Cannot decode DHCPv4 message. (" + reason + ")");
  }
  const auto e = qvt_test::caught([&] { decoder_->decode(Bytes(3, 0)); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation(), "CDhcp4Decoder::decode");
  EXPECT_EQ(e->module(), "host");
}

TEST_F(CDhcp4DecoderTest, MessageWithoutMagicCookieHasNoOptions) {
  Bytes bootp = message(option4(53, {1}));
  bootp[239] = 0;
  const CGeneralPtr<COption> root = decoder_->decode(bootp);
  EXPECT_EQ(valuesOf(root, "53"), std::vector<std::string>{"absent"});
  EXPECT_EQ(valuesOf(root, "0xffffffe1"), std::vector<std::string>{"63-82-53-00"});
  // 236 bytes: a header without cookie.
  EXPECT_EQ(values(Bytes(bootp.begin(), bootp.begin() + 236), "0xffffffe1"),
            std::vector<std::string>{"absent"});
}

// Nesting beyond the limit is refused; the largest datagram decodes: option
// 82 sent in 256 pieces (RFC 3396) of 255 bytes, one option of 65280 bytes.
TEST(CDhcp4DecoderLimitsTest, NestingAndLargestDatagram) {
  COptionDictionary dictionary;
  dictionary.loadText(nestedDefinitions("43", 50));
  const CDhcp4Decoder decoder(dictionary);
  EXPECT_EQ(errorText([&] { decoder.decode(message(option4(43, nested(32, 1)))); }), "no error");
  std::string path = "43";
  for (int level = 0; level < 33; ++level)
    path += "/1";
  EXPECT_EQ(errorText([&] { decoder.decode(message(option4(43, nested(33, 1)))); }),
            "Cannot decode DHCPv4 message. (Option " + path +
                " at offset 306 is nested deeper than 32 levels.)");
  Bytes pieces;
  for (int i = 0; i < 256; ++i)
    pieces = cat({pieces, option4(82, option4(1, Bytes(253, 0x5A)))});
  const CGeneralPtr<COption> root = CDhcp4Decoder::shipped().decode(message(pieces));
  const COption* relay = root->find(CTagPath(82u), 0, COptionType(), 0);
  ASSERT_NE(relay, nullptr);
  EXPECT_EQ(relay->childCount(), 256u);
}

}  // namespace
}  // namespace qvt::host
