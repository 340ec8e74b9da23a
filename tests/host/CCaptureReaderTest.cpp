#include "host/CCaptureReader.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "host/FrameBuilder.h"

namespace qvt::host {
namespace {

using qvt_test::errorText;
using namespace test;

// CTempFile: a file name in the temporary directory, removed at the end.
class CTempFile {
 public:
  explicit CTempFile(const std::string& suffix)
      : path_(testing::TempDir() + "capture_" + std::to_string(::getpid()) + "_" +
              std::to_string(counter_++) + suffix) {}
  ~CTempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

void writePcap(const std::string& path, int linkType, const std::vector<Bytes>& frames) {
  pcap_t* dead = pcap_open_dead(linkType, 65535);
  ASSERT_NE(dead, nullptr);
  pcap_dumper_t* dumper = pcap_dump_open(dead, path.c_str());
  ASSERT_NE(dumper, nullptr) << pcap_geterr(dead);
  for (const Bytes& frame : frames) {
    pcap_pkthdr header{};
    header.caplen = static_cast<bpf_u_int32>(frame.size());
    header.len = header.caplen;
    pcap_dump(reinterpret_cast<u_char*>(dumper), &header, frame.data());
  }
  pcap_dump_close(dumper);
  pcap_close(dead);
}

// le32: values as little-endian 32-bit words.
Bytes le32(std::initializer_list<std::uint32_t> values) {
  Bytes out;
  for (std::uint32_t value : values) {
    for (int i = 0; i < 4; ++i)
      out.push_back(static_cast<unsigned char>(value >> (8 * i)));
  }
  return out;
}

// pcapHeader: a pcap file header (little endian, microseconds) for
// Ethernet with snaplen.
Bytes pcapHeader(std::uint32_t snaplen = 65535) {
  return cat({{0xD4, 0xC3, 0xB2, 0xA1, 2, 0, 4, 0}, le32({0, 0, snaplen, 1})});
}

// record: a pcap record header claiming caplen bytes, then data.
Bytes record(std::uint32_t caplen, const Bytes& data) {
  return cat({le32({0, 0, caplen, caplen}), data});
}

// block: a pcapng block of type with body, its length fields saying length.
Bytes block(std::uint32_t type, const Bytes& body, std::uint32_t length) {
  return cat({le32({type, length}), body, le32({length})});
}

Bytes sectionHeader() {
  return block(0x0A0D0D0A, cat({le32({0x1A2B3C4D}), {1, 0, 0, 0}, le32({~0u, ~0u})}), 28);
}

// pcapng: a section header, one interface of linkType and an enhanced
// packet block of each frame.
Bytes pcapng(std::uint16_t linkType, const std::vector<Bytes>& frames) {
  Bytes out = cat({sectionHeader(), block(1, le32({linkType, 65535}), 20)});
  for (const Bytes& frame : frames) {
    const auto size = static_cast<std::uint32_t>(frame.size());
    const Bytes body = cat({le32({0, 0, 0, size, size}), frame, Bytes((4 - size % 4) % 4, 0)});
    out = cat({out, block(6, body, static_cast<std::uint32_t>(body.size() + 12))});
  }
  return out;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

struct CFound {
  std::uint64_t frame;
  int family;
  Bytes payload;
  bool operator==(const CFound& other) const {
    return frame == other.frame && family == other.family && payload == other.payload;
  }
};

std::ostream& operator<<(std::ostream& out, const CFound& found) {
  return out << "frame " << found.frame << ", DHCPv" << found.family << " "
             << qvt_test::toHex(found.payload);
}

std::vector<CFound> readAll(const std::string& path, std::uint64_t* frames = nullptr) {
  CCaptureReader reader(path);
  std::vector<CFound> found;
  CCapturedPacket packet;
  while (reader.next(packet))
    found.push_back({packet.frame, packet.family, packet.payload});
  if (frames) *frames = reader.framesRead();
  return found;
}

const Bytes kV4 = {1, 1, 6, 0, 0xDE, 0xAD};
const Bytes kV6 = {1, 0x12, 0x34, 0x56};

TEST(CCaptureReaderTest, FindsDhcpInEveryLinkType) {
  struct Row {
    const char* name;
    int linkType;
    std::vector<Bytes> frames;
    std::vector<CFound> expected;
  };
  const Bytes dnsQuery = udp(5353, 53, {0, 1});
  const Bytes arp = ethernet(0x0806, Bytes(28, 0));
  // A minimum-size Ethernet frame pads the IP datagram with trailing zeros.
  const Bytes whole = ethernet(0x0800, ipv4(udp(68, 67, kV4)));
  const Bytes padded = cat({ethernet(0x0800, ipv4(udp(67, 68, {7}))), Bytes(20, 0)});
  const std::vector<Row> rows = {
      {"ethernet",
       DLT_EN10MB,
       {arp, ethernet(0x0800, ipv4(udp(68, 67, kV4))), ethernet(0x0800, ipv4(dnsQuery)),
        ethernet(0x86DD, ipv6(udp(546, 547, kV6))), padded},
       {{2, 4, kV4}, {4, 6, kV6}, {5, 4, {7}}}},
      {"vlan and ip options",
       DLT_EN10MB,
       {ethernet(0x0800, ipv4(udp(67, 67, kV4), 2), {0x8100}),
        ethernet(0x86DD, ipv6(udp(547, 547, kV6), true), {0x88A8, 0x8100})},
       {{1, 4, kV4}, {2, 6, kV6}}},
      {"fragments and other protocols skipped",
       DLT_EN10MB,
       {ethernet(0x0800, ipv4(udp(68, 67, kV4), 0, 0x2000)),
        ethernet(0x0800, ipv4(udp(68, 67, kV4), 0, 0x0010)),
        ethernet(0x0800, ipv4(udp(68, 67, kV4), 0, 0, 6)),
        ethernet(0x0800, ipv4(udp(68, 67, kV4)))},
       {{4, 4, kV4}}},
      {"linux cooked",
       DLT_LINUX_SLL,
       {sll(0x0800, ipv4(udp(68, 67, kV4))), sll(0x0806, Bytes(28, 0)),
        sll(0x86DD, ipv6(udp(546, 547, kV6)))},
       {{1, 4, kV4}, {3, 6, kV6}}},
      {"linux cooked v2",
       DLT_LINUX_SLL2,
       {sll2(0x86DD, ipv6(udp(547, 546, kV6))), sll2(0x0800, ipv4(udp(67, 68, kV4)))},
       {{1, 6, kV6}, {2, 4, kV4}}},
      {"pppoe session",
       DLT_EN10MB,
       {ethernet(0x8864, cat({{0x11, 0, 0, 1, 0, 0, 0x00, 0x21}, ipv4(udp(68, 67, kV4))})),
        ethernet(0x8864, cat({{0x11, 0, 0, 1, 0, 0, 0x00, 0x57}, ipv6(udp(546, 547, kV6))})),
        ethernet(0x8864, cat({{0x11, 0, 0, 1, 0, 0, 0xC0, 0x21}, Bytes(8, 0)}))},
       {{1, 4, kV4}, {2, 6, kV6}}},
      {"bsd loopback",
       DLT_NULL,
       {cat({{2, 0, 0, 0}, ipv4(udp(68, 67, kV4))}),
        cat({{30, 0, 0, 0}, ipv6(udp(546, 547, kV6))})},
       {{1, 4, kV4}, {2, 6, kV6}}},
      {"raw ip",
       DLT_RAW,
       {ipv4(dnsQuery), ipv6(udp(546, 547, kV6)), ipv4(udp(68, 67, kV4))},
       {{2, 6, kV6}, {3, 4, kV4}}},
      {"truncated frames skipped",
       DLT_EN10MB,
       {Bytes(10, 0), Bytes(whole.begin(), whole.begin() + 30)},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CTempFile file(".pcap");
    writePcap(file.path(), row.linkType, row.frames);
    std::uint64_t frames = 0;
    const std::vector<CFound> found = readAll(file.path(), &frames);
    EXPECT_EQ(frames, row.frames.size());
    EXPECT_EQ(found, row.expected);
  }
}

TEST(CCaptureReaderTest, ReadsPcapng) {
  CTempFile file(".pcapng");
  writeBytes(file.path(), pcapng(DLT_EN10MB, {ethernet(0x0806, Bytes(28, 0)),
                                              ethernet(0x86DD, ipv6(udp(546, 547, kV6)))}));
  EXPECT_TRUE(CCaptureReader::isCaptureFile(file.path()));
  EXPECT_EQ(readAll(file.path()), std::vector<CFound>({{2, 6, kV6}}));
}

TEST(CCaptureReaderTest, PortsOfTheMessage) {
  CCapturedPacket packet;
  const Bytes frame = ethernet(0x0800, ipv4(udp(67, 68, kV4)));
  ASSERT_TRUE(CCaptureReader::extract(DLT_EN10MB, frame.data(), frame.size(), packet));
  EXPECT_EQ(packet.sourcePort, 67);
  EXPECT_EQ(packet.destinationPort, 68);
  EXPECT_FALSE(CCaptureReader::extract(DLT_IEEE802, frame.data(), frame.size(), packet));
}

TEST(CCaptureReaderTest, RefusesUnreadableFiles) {
  EXPECT_EQ(errorText([] { CCaptureReader("/nonexistent/x.pcap"); }),
            "Cannot open capture file '/nonexistent/x.pcap'. (/nonexistent/x.pcap: No such file "
            "or directory)");
  CTempFile text(".txt");
  std::ofstream(text.path()) << "01 02 03 04\n";
  EXPECT_FALSE(CCaptureReader::isCaptureFile(text.path()));
  EXPECT_FALSE(CCaptureReader::isCaptureFile("/nonexistent/x.pcap"));
  EXPECT_EQ(errorText([&] {
              CCaptureReader reader(text.path());
            }).rfind("Cannot open capture file '" + text.path() + "'. (", 0),
            0u);
}

Bytes head(const Bytes& bytes, std::size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// readCapture: "<n> packets" read from the file, followed by "; " and
// "operation: text" of the error that ended the reading, with the file name
// replaced by "F".
std::string readCapture(const Bytes& bytes) {
  const CTempFile file(".pcap");
  writeBytes(file.path(), bytes);
  int packets = 0;
  const std::string error = qvt_test::errorWhere([&] {
    CCaptureReader reader(file.path());
    CCapturedPacket packet;
    while (reader.next(packet))
      ++packets;
  });
  std::string outcome = std::to_string(packets) + " packets";
  if (error != "no error") outcome += "; " + error;
  for (std::size_t at; (at = outcome.find(file.path())) != std::string::npos;)
    outcome.replace(at, file.path().size(), "F");
  return outcome;
}

std::string open(const std::string& reason) {
  return "0 packets; CCaptureReader::CCaptureReader: Cannot open capture file 'F'. (" + reason +
         ")";
}

std::string read(const std::string& reason, int packets = 0) {
  return std::to_string(packets) +
         " packets; CCaptureReader::next: Cannot read capture file 'F'. (" + reason + ")";
}

// Hostile captures: cut short or claiming more than they hold.
TEST(CCaptureReaderTest, CapturesCutShortOrClaimingTooMuchAreRefused) {
  const Bytes frame(60, 0xAB);
  const Bytes dhcp = ethernet(0x0800, ipv4(udp(68, 67, kV4)));
  const auto size = static_cast<std::uint32_t>(dhcp.size());
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
      // A file cut short keeps the packets before the cut.
      {"second record cut short",
       cat({pcapHeader(), record(size, dhcp), head(record(size, dhcp), 26)}),
       read("truncated dump file; tried to read 48 captured bytes, only got 10", 1)},
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

}  // namespace
}  // namespace qvt::host
