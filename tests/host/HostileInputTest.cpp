// Hostile input to the decoders: options nested beyond the limit and the
// largest messages a datagram carries. Each is refused with a clear error or
// read in bounded time and memory; none crashes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/CDhcp4Decoder.h"
#include "host/CDhcp6Decoder.h"
#include "host/COptionDictionary.h"
#include "host/PayloadBuilder.h"

namespace qvt::host {
namespace {

using qvt_test::errorText;
using test::Bytes;
using test::cat;
using test::option4;
using test::option6;

std::string repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += piece;
  return text;
}

// nestedDefinitions: code and its sub-option 1, 1/1, ... down to levels
// levels, each encapsulating the next.
std::string nestedDefinitions(const std::string& code, int levels) {
  std::string text;
  std::string path = code;
  for (int level = 0; level < levels; ++level, path += "/1")
    text += "tagpath=" + path + "\ntype=subencoded\nname=level" + std::to_string(level) + "\n\n";
  return text;
}

// nested: sub-option 1 inside sub-option 1 ... levels deep, each with a
// code and length of width bytes.
Bytes nested(int levels, std::size_t width) {
  Bytes data;
  for (int level = 0; level < levels; ++level) {
    Bytes head(2 * width, 0);
    head[width - 1] = 1;
    head[2 * width - 1] = static_cast<unsigned char>(data.size());
    if (width == 2) head[2] = static_cast<unsigned char>(data.size() >> 8);
    data = cat({head, data});
  }
  return data;
}

Bytes message4(const Bytes& options) {
  Bytes m(236, 0);
  m[0] = 1, m[1] = 1, m[2] = 6;
  return cat({m, {0x63, 0x82, 0x53, 0x63}, options, {255}});
}

TEST(HostileInputTest, OptionsNestedBeyondTheLimitAreRefused) {
  COptionDictionary dhcp4;
  dhcp4.loadText(nestedDefinitions("43", 50));
  const CDhcp4Decoder decoder4(dhcp4);
  COptionDictionary dhcp6;
  dhcp6.loadText(nestedDefinitions("100", 50));
  const CDhcp6Decoder decoder6(dhcp6);
  // Nesting within the limit decodes.
  EXPECT_EQ(errorText([&] { decoder4.decode(message4(option4(43, nested(32, 1)))); }), "no error");
  EXPECT_EQ(errorText([&] { decoder4.decode(message4(option4(43, nested(33, 1)))); }),
            "Cannot decode DHCPv4 message. (Option 43" + repeat("/1", 33) +
                " at offset 306 is nested deeper than 32 levels.)");
  EXPECT_EQ(errorText([&] {
              decoder6.decode(cat({{1, 0, 0, 1}, option6(100, nested(32, 2))}));
            }),
            "no error");
  EXPECT_EQ(errorText([&] {
              decoder6.decode(cat({{1, 0, 0, 1}, option6(100, nested(40, 2))}));
            }),
            "Cannot decode DHCPv6 message. (Option 100" + repeat("/1", 33) +
                " at offset 136 is nested deeper than 32 levels.)");
}

TEST(HostileInputTest, LargestDatagramsDecode) {
  // DHCPv4: option 82 sent in 256 pieces (RFC 3396) of 255 bytes, each
  // piece a sub-option 1 of 253 bytes: one option of 65280 bytes.
  Bytes pieces;
  const Bytes piece = option4(82, option4(1, Bytes(253, 0x5A)));
  for (int i = 0; i < 256; ++i)
    pieces.insert(pieces.end(), piece.begin(), piece.end());
  const CGeneralPtr<COption> root4 = CDhcp4Decoder::shipped().decode(message4(pieces));
  const COption* relay = root4->find(CTagPath(82u), 0, COptionType(), 0);
  ASSERT_NE(relay, nullptr);
  EXPECT_EQ(relay->childCount(), 256u);
  // DHCPv6: 16382 empty options fill a 65535-byte datagram.
  Bytes options6 = {1, 0, 0, 1};
  for (int i = 0; i < 16382; ++i) {
    const Bytes empty = option6(static_cast<std::uint16_t>(1000 + i % 100), {});
    options6.insert(options6.end(), empty.begin(), empty.end());
  }
  const CGeneralPtr<COption> root6 = CDhcp6Decoder::shipped().decode(options6);
  EXPECT_EQ(root6->childCount(), 2u + 16382u);
}

}  // namespace
}  // namespace qvt::host
