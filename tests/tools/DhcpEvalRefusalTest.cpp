// What dhcp-eval refuses, each with one clear line and nothing lost: frames
// that do not exist or are not DHCP of the family, unreadable, malformed and
// endless files, options that do not go together. The cases and their whole
// standard error are in data/refusals.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "tools/ToolTestSupport.h"

namespace qvt::test {
namespace {

// bytes: the bytes of hexadecimal text ("63 82", blanks between bytes).
std::string bytes(std::string hex) {
  hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
  const std::vector<unsigned char> raw = qvt_test::fromHex(hex);
  return std::string(raw.begin(), raw.end());
}

std::string be16(std::size_t value) {
  return {static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string le32(std::size_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

// udpFrame: an Ethernet frame with an IPv4 UDP datagram between the ports.
std::string udpFrame(std::uint16_t from, std::uint16_t to, const std::string& payload) {
  return bytes("020202020202020202020202 0800 4500") + be16(28 + payload.size()) +
         bytes("00000000 40110000 0A000001 0A000002") + be16(from) + be16(to) +
         be16(8 + payload.size()) + be16(0) + payload;
}

// pcap: a classic capture file (Ethernet) of frames.
std::string pcap(const std::vector<std::string>& frames) {
  std::string file = bytes("D4C3B2A1 02000400 00000000 00000000 FFFF0000 01000000");
  for (const std::string& frame : frames)
    file += std::string(8, '\0') + le32(frame.size()) + le32(frame.size()) + frame;
  return file;
}

// bootRequest: a BOOTREQUEST with the magic cookie and the end option alone.
std::string bootRequest() {
  return bytes("010106") + std::string(233, '\0') + bytes("63825363 FF");
}

const std::string kDns(12, '\0');
const std::string kSolicit = bytes("01000001");

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
  dir.write("mixed.pcap", pcap({udpFrame(53, 53, kDns), udpFrame(68, 67, bootRequest()),
                                udpFrame(546, 547, kSolicit)}));
  dir.write("v6only.pcap", pcap({udpFrame(546, 547, kSolicit)}));
  dir.write("dns.pcap", pcap({udpFrame(53, 53, kDns)}));
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
  std::string broken = bootRequest();
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
