// What dhcp-eval refuses, each with one clear line and nothing lost: frames
// that do not exist or are not DHCP of the family, unreadable, malformed and
// endless files, options that do not go together. The cases and their whole
// standard error are in data/refusals.txt.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
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

// CRefusalCase: one block of data/refusals.txt.
struct CRefusalCase {
  std::string command;  // the "> " line, naming the case
  std::vector<std::string> arguments;
  int status = -1;
  std::string err;
};

// refusalCases: the blocks of data/refusals.txt, with "@" and "{examples}"
// replaced.
std::vector<CRefusalCase> refusalCases(const std::string& scratch) {
  std::ifstream in(std::string(DHCP_EVAL_SOURCE_DIR) + "/tests/tools/data/refusals.txt");
  std::vector<CRefusalCase> cases;
  for (std::string line; std::getline(in, line);) {
    for (std::size_t at = line.find('@'); at != std::string::npos;
         at = line.find('@', at + scratch.size()))
      line.replace(at, 1, scratch);
    const std::string examples = "{examples}";
    for (std::size_t at; (at = line.find(examples)) != std::string::npos;)
      line.replace(at, examples.size(), std::string(DHCP_EVAL_SOURCE_DIR) + "/examples");
    if (line.rfind("> ", 0) == 0) {
      cases.push_back(CRefusalCase{line, {}, -1, ""});
      std::istringstream words(line.substr(2));
      for (std::string word; words >> word;)
        cases.back().arguments.push_back(word);
    } else if (line.rfind("exit ", 0) == 0 && !cases.empty()) {
      cases.back().status = std::stoi(line.substr(5));
    } else if (!line.empty() && line[0] != '#' && !cases.empty()) {
      cases.back().err += line + "\n";
    }
  }
  return cases;
}

TEST(DhcpEvalRefusalTest, BadInputEndsWithOneClearLine) {
  CScratchDir dir;
  // Frame 1 is DNS, frame 2 DHCPv4, frame 3 DHCPv6.
  dir.write("mixed.pcap", pcap({udpFrame(53, 53, Bytes(12, 0)), udpFrame(68, 67, bootRequest()),
                                udpFrame(546, 547, {1, 0, 0, 1})}));
  dir.write("v6only.pcap", pcap({udpFrame(546, 547, {1, 0, 0, 1})}));
  dir.write("dns.pcap", pcap({udpFrame(53, 53, Bytes(12, 0))}));
  dir.write("rules.txt", "1 = 2\nseven = 5\n");
  dir.write("vendors.defs", "class=x*\ndescription=no id\n");
  dir.write("classes.txt", "cm = $CM\ncm = $MTA\n");
  const std::vector<CRefusalCase> cases = refusalCases(dir.path());
  ASSERT_EQ(cases.size(), 26u) << "data/refusals.txt could not be read whole";
  for (const CRefusalCase& refusal : cases) {
    SCOPED_TRACE(refusal.command);
    const CCommandResult result = runDhcpEval(dir, refusal.arguments);
    EXPECT_EQ(result.status, refusal.status);
    EXPECT_EQ(result.err, refusal.err);
    EXPECT_EQ(result.out, "");
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
