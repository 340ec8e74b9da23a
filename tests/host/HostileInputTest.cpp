// Hostile input to the readers a network or a user reaches: captures cut
// short or claiming more than they hold, options nested beyond the limit,
// and the largest messages a datagram carries. Each is refused with a clear
// error or read in bounded time and memory; none crashes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "host/CCaptureReader.h"
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

void le32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// pcapHeader: a pcap file header (little endian, microseconds) for
// Ethernet with snaplen.
Bytes pcapHeader(std::uint32_t snaplen = 65535) {
  Bytes out = {0xD4, 0xC3, 0xB2, 0xA1, 2, 0, 4, 0};
  le32(out, 0);
  le32(out, 0);
  le32(out, snaplen);
  le32(out, 1);
  return out;
}

// record: a pcap record header claiming caplen bytes, then data.
Bytes record(std::uint32_t caplen, const Bytes& data) {
  Bytes out;
  le32(out, 0);
  le32(out, 0);
  le32(out, caplen);
  le32(out, caplen);
  return cat({out, data});
}

// block: a pcapng block of type with body, its length fields saying length.
Bytes block(std::uint32_t type, const Bytes& body, std::uint32_t length) {
  Bytes out;
  le32(out, type);
  le32(out, length);
  out.insert(out.end(), body.begin(), body.end());
  le32(out, length);
  return out;
}

Bytes sectionHeader() {
  Bytes body;
  le32(body, 0x1A2B3C4D);
  body.insert(body.end(), {1, 0, 0, 0});
  le32(body, 0xFFFFFFFF);
  le32(body, 0xFFFFFFFF);
  return block(0x0A0D0D0A, body, 28);
}

// CFileOf: bytes written to a file of their own, removed at the end.
class CFileOf {
 public:
  explicit CFileOf(const Bytes& bytes)
      : path_(testing::TempDir() + "hostile_" + std::to_string(::getpid()) + "_" +
              std::to_string(counter_++)) {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~CFileOf() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

Bytes head(const Bytes& bytes, std::size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// readCapture: "<n> packets" read from the file, or the error's text with
// the file name replaced by "F".
std::string readCapture(const Bytes& bytes) {
  const CFileOf file(bytes);
  int packets = 0;
  std::string outcome = errorText([&] {
    CCaptureReader reader(file.path());
    CCapturedPacket packet;
    while (reader.next(packet))
      ++packets;
  });
  if (outcome == "no error") outcome = std::to_string(packets) + " packets";
  for (std::size_t at; (at = outcome.find(file.path())) != std::string::npos;)
    outcome.replace(at, file.path().size(), "F");
  return outcome;
}

std::string open(const std::string& reason) {
  return "Cannot open capture file 'F'. (" + reason + ")";
}

std::string read(const std::string& reason) {
  return "Cannot read capture file 'F'. (" + reason + ")";
}

TEST(HostileInputTest, CapturesCutShortOrClaimingTooMuchAreRefused) {
  const Bytes frame(60, 0xAB);
  const struct {
    const char* name;
    Bytes bytes;
    std::string outcome;
  } rows[] = {
      {"empty file",
       {},
       open("truncated dump file; tried to read 4 file header bytes, only got 0")},
      {"file header cut short", head(pcapHeader(), 10),
       open("truncated dump file; tried to read 24 file header bytes, only got 6")},
      {"record header cut short", head(cat({pcapHeader(), record(60, frame)}), 24 + 8),
       read("truncated dump file; tried to read 16 header bytes, only got 8")},
      {"record longer than the file", cat({pcapHeader(), record(1000, frame)}),
       read("truncated dump file; tried to read 1000 captured bytes, only got 60")},
      {"record of 2 GiB", cat({pcapHeader(), record(0x7FFFFFFF, frame)}),
       read("invalid packet capture length 2147483647, bigger than snaplen of 65535")},
      // Records that are all there are read, whatever the header claims.
      {"record longer than the snap length", cat({pcapHeader(100), record(1000, Bytes(1000))}),
       "0 packets"},
      {"snap length of 4 GiB", cat({pcapHeader(0xFFFFFFFF), record(60, frame)}), "0 packets"},
      {"pcapng block of 4 GiB", cat({sectionHeader(), block(1, Bytes(8), 0xFFFFFFF0)}),
       open("pcapng block size 4294967280 > maximum 16777216")},
      {"pcapng block shorter than its header", cat({sectionHeader(), block(1, Bytes(8), 4)}),
       open("block in pcapng dump file has a length of 4 < 12")},
      {"pcapng packet before any interface",
       cat({sectionHeader(), block(6, Bytes(20 + 60), 32 + 60)}),
       open("the capture file has a packet block before any Interface Description Blocks")},
  };
  for (const auto& row : rows)
    EXPECT_EQ(readCapture(row.bytes), row.outcome) << row.name;
}

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
