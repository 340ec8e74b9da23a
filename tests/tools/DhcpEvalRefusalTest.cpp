// What dhcp-eval refuses, each with one clear line and nothing lost: frames
// that do not exist or are not DHCP of the family, unreadable and malformed
// files, options that do not go together.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<unsigned char>(value >> 8));
  out.push_back(static_cast<unsigned char>(value));
}

void putLe32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// udpFrame: an Ethernet frame with an IPv4 UDP datagram between the ports.
Bytes udpFrame(std::uint16_t sourcePort, std::uint16_t destinationPort, const Bytes& payload) {
  Bytes frame(12, 0x02);
  put16(frame, 0x0800);
  const Bytes ip = {0x45, 0, 0, 0, 0, 0, 0, 0, 64, 17, 0, 0, 10, 0, 0, 1, 10, 0, 0, 2};
  frame.insert(frame.end(), ip.begin(), ip.end());
  const std::size_t ipStart = 14;
  const std::uint16_t total = static_cast<std::uint16_t>(20 + 8 + payload.size());
  frame[ipStart + 2] = static_cast<unsigned char>(total >> 8);
  frame[ipStart + 3] = static_cast<unsigned char>(total);
  put16(frame, sourcePort);
  put16(frame, destinationPort);
  put16(frame, static_cast<std::uint16_t>(8 + payload.size()));
  put16(frame, 0);
  frame.insert(frame.end(), payload.begin(), payload.end());
  return frame;
}

// pcap: a classic capture file (Ethernet) of frames.
std::string pcap(const std::vector<Bytes>& frames) {
  Bytes file;
  putLe32(file, 0xa1b2c3d4);
  file.insert(file.end(), {2, 0, 4, 0});
  putLe32(file, 0);
  putLe32(file, 0);
  putLe32(file, 65535);
  putLe32(file, 1);
  for (const Bytes& frame : frames) {
    putLe32(file, 0);
    putLe32(file, 0);
    putLe32(file, static_cast<std::uint32_t>(frame.size()));
    putLe32(file, static_cast<std::uint32_t>(frame.size()));
    file.insert(file.end(), frame.begin(), frame.end());
  }
  return std::string(file.begin(), file.end());
}

Bytes bootRequest() {
  Bytes payload(240, 0);
  payload[0] = 1;
  payload[1] = 1;
  payload[2] = 6;
  const Bytes cookie = {0x63, 0x82, 0x53, 0x63};
  std::copy(cookie.begin(), cookie.end(), payload.begin() + 236);
  payload.push_back(255);
  return payload;
}

struct CRefusalRow {
  std::string name;
  std::vector<std::string> arguments;  // "@" at the start stands for the scratch directory
  int status;
  std::string err;  // standard error, whole
};

TEST(DhcpEvalRefusalTest, BadInputEndsWithOneClearLine) {
  CScratchDir dir;
  // Frame 1 is DNS, frame 2 DHCPv4, frame 3 DHCPv6.
  dir.write("mixed.pcap", pcap({udpFrame(53, 53, Bytes(12, 0)), udpFrame(68, 67, bootRequest()),
                                udpFrame(546, 547, {1, 0, 0, 1})}));
  dir.write("v6only.pcap", pcap({udpFrame(546, 547, {1, 0, 0, 1})}));
  dir.write("dns.pcap", pcap({udpFrame(53, 53, Bytes(12, 0))}));
  dir.write("cut.pcap", pcap({udpFrame(68, 67, bootRequest())}).substr(0, 60));
  dir.write("rules.txt", "1 = 2\nseven = 5\n");
  dir.write("vendors.defs", "class=x*\ndescription=no id\n");
  dir.write("classes.txt", "cm = $CM\ncm = $MTA\n");
  dir.write("notdb.txt", "just text\n");
  const std::string v4 = "dhcp-eval: Frame 3 of '@/mixed.pcap' is a DHCPv6 message. (Add -6 to ";
  const std::vector<CRefusalRow> rows = {
      {"frame beyond the capture",
       {"--packet", "@/mixed.pcap", "--frame", "9", "1"},
       2,
       "dhcp-eval: Frame 9 does not exist in '@/mixed.pcap'. (The capture holds 3 frames.)\n"},
      {"frame that is no DHCP",
       {"--packet", "@/mixed.pcap", "--frame", "1", "1"},
       2,
       "dhcp-eval: Frame 1 of '@/mixed.pcap' is not a DHCP message. (It carries no UDP "
       "datagram to or from port 67, 68, 546 or 547.)\n"},
      {"DHCPv6 frame without -6",
       {"--packet", "@/mixed.pcap", "--frame", "3", "1"},
       2,
       v4 + "evaluate DHCPv6 messages.)\n"},
      {"DHCPv4 frame with -6",
       {"-6", "--packet", "@/mixed.pcap", "--frame", "2", "1"},
       2,
       "dhcp-eval: Frame 2 of '@/mixed.pcap' is a DHCPv4 message. (Leave out -6 to evaluate "
       "DHCPv4 messages.)\n"},
      {"capture of the other family",
       {"--packet", "@/v6only.pcap", "1"},
       2,
       "dhcp-eval: '@/v6only.pcap' holds no DHCPv4 message. (It holds 1 DHCPv6 messages; add "
       "-6 to evaluate them.)\n"},
      {"capture without DHCP",
       {"-6", "--packet", "@/dns.pcap", "1"},
       2,
       "dhcp-eval: '@/dns.pcap' holds no DHCPv6 message. (It holds no DHCP message.)\n"},
      {"hex payload of the other family",
       {"-6", "--packet", example("payload-discover.hex"), "1"},
       2,
       "dhcp-eval: '" + example("payload-discover.hex") +
           "' holds a DHCPv4 message. (Leave out -6 to evaluate DHCPv4 messages.)\n"},
      {"hex payload too short for DHCPv4",
       {"--packet", example("dhcp6-docsis-solicit.hex"), "1"},
       2,
       "dhcp-eval: '" + example("dhcp6-docsis-solicit.hex") +
           "' holds no DHCPv4 message. (It is 112 bytes long, shorter than a BOOTP header (236 "
           "bytes); add -6 for a DHCPv6 message.)\n"},
      {"hex payload frame 2",
       {"--packet", example("payload-discover.hex"), "--frame", "2", "1"},
       2,
       "dhcp-eval: Frame 2 does not exist in '" + example("payload-discover.hex") +
           "'. (A hex payload file holds one message, frame 1.)\n"},
      {"missing capture",
       {"--packet", "@/none.pcap", "1"},
       2,
       "dhcp-eval: Cannot open file '@/none.pcap'. (No such file or directory)\n"},
      {"malformed rules file",
       {"--rules", "@/rules.txt", "1"},
       2,
       "dhcp-eval: Cannot read provisioning rules from '@/rules.txt'. (Line 2: 'seven' is not a "
       "rule number.)\n"},
      {"malformed vendor file",
       {"--vendors", "@/vendors.defs", "1"},
       2,
       "dhcp-eval: Cannot read vendor classes from '@/vendors.defs'. (Record ending at line 2: "
       "Invalid vendor class data. (A vendor class record must include a 'vendor_id' "
       "setting.))\n"},
      {"malformed class file",
       {"--packet", example("dhcp4-exchange.pcap"), "--classes", "@/classes.txt"},
       2,
       "dhcp-eval: Cannot read class file '@/classes.txt'. (Line 2: class 'cm' is defined "
       "twice.)\n"},
      {"bad server address",
       {"--server-ip", "10.0.0.256", "1"},
       2,
       "dhcp-eval: Option '--server-ip' has a value that cannot be used. (Cannot create an ip "
       "address. (Text '10.0.0.256' is not a valid IP address.))\n"},
      {"frame number that is no number",
       {"--packet", "@/mixed.pcap", "--frame", "two", "1"},
       2,
       "dhcp-eval: option '--frame' takes a number from 1, not 'two'\nTry 'dhcp-eval --help'.\n"},
      {"frame without packet",
       {"--frame", "1", "1"},
       2,
       "dhcp-eval: option '--frame' needs '--packet'\nTry 'dhcp-eval --help'.\n"},
      {"both families",
       {"-4", "-6", "1"},
       2,
       "dhcp-eval: options '-4' and '-6' cannot be combined\nTry 'dhcp-eval --help'.\n"},
      {"classes with expressions",
       {"--packet", "@/mixed.pcap", "--classes", "@/classes.txt", "1"},
       2,
       "dhcp-eval: option '--classes' cannot be combined with expressions\nTry 'dhcp-eval "
       "--help'.\n"},
      {"missing module",
       {"--module", "@/none.so", "1"},
       2,
       "error: host: Cannot load plugin module '@/none.so'. (@/none.so: cannot open shared "
       "object file: No such file or directory)\ndhcp-eval: The evaluator module '@/none.so' "
       "did not start. (No loaded plugin offers 'CIDHCPEvalFactory'.)\n"},
  };
  const auto expand = [&](std::string text) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1))
      text.replace(at, 1, dir.path());
    return text;
  };
  for (const CRefusalRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> arguments;
    for (const std::string& argument : row.arguments)
      arguments.push_back(expand(argument));
    const CCommandResult result = runDhcpEval(dir, arguments);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.err, expand(row.err));
    EXPECT_EQ(result.out, "");
  }
}

// A device given as a file (no line end, no end at all) is refused at a
// size or line limit instead of being read until memory runs out.
TEST(DhcpEvalRefusalTest, FilesThatNeverEndAreRefused) {
  CScratchDir dir;
  const std::string zero = "/dev/zero";
  const std::string tooLarge = "(The file is larger than ";
  const std::string lineTooLong = "(Line 1 is longer than 16777216 bytes.)\n";
  const std::vector<CRefusalRow> rows = {
      {"expression file",
       {"-f", zero},
       2,
       "dhcp-eval: Cannot read expression file '/dev/zero'. " + lineTooLong},
      {"packet",
       {"--packet", zero, "1"},
       2,
       "dhcp-eval: Cannot open file '/dev/zero'. " + tooLarge + "1048576 bytes.)\n"},
      {"rules",
       {"--rules", zero, "1"},
       2,
       "dhcp-eval: Cannot open file '/dev/zero'. " + tooLarge + "16777216 bytes.)\n"},
      {"classes",
       {"--packet", example("dhcp4-exchange.pcap"), "--classes", zero},
       2,
       "dhcp-eval: Cannot open file '/dev/zero'. " + tooLarge + "16777216 bytes.)\n"},
      {"vendors",
       {"--vendors", zero, "1"},
       2,
       "dhcp-eval: Cannot read file '/dev/zero'. " + lineTooLong},
      {"key",
       {"--key", zero, "1"},
       2,
       "dhcp-eval: Cannot read shared server key file '/dev/zero'. " + tooLarge +
           "65536 bytes.)\n"},
      {"records to import",
       {"kv", "--db", dir.path() + "/kv.db", "import", zero},
       2,
       "dhcp-eval: Cannot read key-value records from '/dev/zero'. " + lineTooLong},
  };
  for (const CRefusalRow& row : rows) {
    SCOPED_TRACE(row.name);
    const CCommandResult result = runDhcpEval(dir, row.arguments);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.err, row.err);
  }
}

TEST(DhcpEvalRefusalTest, APacketThatCannotBeDecodedFailsAloneAndTheOthersRun) {
  CScratchDir dir;
  Bytes broken = bootRequest();
  broken.back() = 60;  // option 60 without a length byte
  const std::string capture =
      dir.write("two.pcap", pcap({udpFrame(68, 67, broken), udpFrame(68, 67, bootRequest())}));
  const std::string key = dir.write("server.key", "secret");
  const CCommandResult result =
      runDhcpEval(dir, {"--json", "--key", key, "--packet", capture, "--", "$BOOTP"});
  EXPECT_EQ(result.status, 1);
  const std::vector<Json> objects = jsonLines(result.out);
  ASSERT_EQ(objects.size(), 2u) << result.out;
  EXPECT_EQ(keys(objects[0]), (std::vector<std::string>{"frame", "error"}));
  EXPECT_EQ(text(objects[0].at("error").at("description")), "Cannot decode DHCPv4 message.");
  EXPECT_EQ(typedValue(objects[1]), "boolean true");
  EXPECT_EQ(text(objects[1].at("frame")), "2");
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace qvt::test
