// Every DHCP packet of the captures in examples/, as `dhcp-eval --dump --json`
// decodes it, compared with tshark (an independent decoder): the same option
// codes; each option holds the elements that tshark's bytes make for the type
// the dump names; the common options also match tshark's own reading.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "tools/CommandRunner.h"
#include "tools/ToolTestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;
using qvt::test::Json;
using qvt::test::text;
using Shows = std::map<std::string, std::vector<std::string>>;  // tshark field -> shown texts

const std::string kExamples = std::string(DHCP_EVAL_SOURCE_DIR) + "/examples";

bool tsharkInstalled() {
  static const bool installed = std::system("command -v tshark > /dev/null 2>&1") == 0;
  return installed;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string join(const std::string& prefix, const std::string& code) {
  return prefix.empty() ? code : prefix + "/" + code;
}

std::string hexText(const Bytes& bytes) {
  std::string text;
  for (const unsigned char& b : bytes)
    text += (text.empty() ? "" : "-") + qvt_test::toHex(&b, 1);
  return text;
}

std::string listText(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items)
    text += (text.empty() ? "\"" : ", \"") + item + "\"";
  return "[" + text + "]";
}

// expectedValues: the elements that bytes make for an option of type, as the
// dump writes them; nullopt for the types whose elements are not read from
// the option's bytes alone (encapsulating types, expressions, times).
std::optional<std::vector<std::string>> expectedValues(const std::string& type, const Bytes& bytes,
                                                       int family) {
  std::vector<std::string> values;
  const std::map<std::string, std::size_t> widths = {
      {"8bit", 1}, {"16bit", 2}, {"24bit", 3}, {"32bit", 4}, {"64bit", 8}};
  if (const auto width = widths.find(type); width != widths.end()) {
    const std::size_t w = std::min(bytes.size(), width->second);
    if (w == 0 || bytes.size() % w != 0) return values;
    for (std::size_t i = 0; i < bytes.size(); i += w) {
      std::uint64_t number = 0;
      for (std::size_t j = 0; j < w; ++j)
        number = number << 8 | bytes[i + j];
      values.push_back(std::to_string(number));
    }
    return values;
  }
  if (type == "string") return std::vector<std::string>{std::string(bytes.begin(), bytes.end())};
  if (type == "byte_sequence" || type == "128bit") return std::vector<std::string>{hexText(bytes)};
  if (type == "boolean") {
    for (std::uint8_t b : bytes)
      values.push_back(b ? "true" : "false");
    return values;
  }
  if (type == "ipaddress") {
    const std::size_t w = family == 4 ? 4 : 16;
    for (std::size_t i = 0; i + w <= bytes.size(); i += w) {
      char text[INET6_ADDRSTRLEN];
      inet_ntop(family == 4 ? AF_INET : AF_INET6, bytes.data() + i, text, sizeof text);
      values.push_back(text);
    }
    return values;
  }
  if (type == "dnsname") {
    std::string name;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != 0; i += bytes[i] + 1) {
      if (!name.empty()) name += '.';
      name.append(bytes.begin() + i + 1, bytes.begin() + std::min(bytes.size(), i + 1 + bytes[i]));
    }
    return std::vector<std::string>{name};
  }
  return std::nullopt;
}

// tshark's reading of one packet, by the tag paths of the option tree. A
// path is written as the dump writes it: decimal, header fields as negative
// codes ("-16" is op, "-250" a DHCPv6 relay entry).

struct Entry {  // a header field, option or sub-option
  Bytes raw;    // the value bytes
  Shows shows;
  bool option = false;
};

struct TsharkPacket {
  int frame = 0;
  int family = 0;
  std::map<std::string, Entry> fields;
};

const std::vector<std::pair<const char*, const char*>> kDhcp4Header = {
    {"dhcp.type", "-16"},      {"dhcp.hw.type", "-26"},   {"dhcp.hw.len", "-27"},
    {"dhcp.hops", "-28"},      {"dhcp.id", "-29"},        {"dhcp.secs", "-24"},
    {"dhcp.flags", "-25"},     {"dhcp.ip.client", "-18"}, {"dhcp.ip.your", "-19"},
    {"dhcp.ip.server", "-20"}, {"dhcp.ip.relay", "-21"},  {"dhcp.server", "-22"},
    {"dhcp.file", "-32"},      {"dhcp.cookie", "-31"}};
const std::vector<std::pair<const char*, const char*>> kRelay6Header = {
    {"dhcpv6.msgtype", "-253"},
    {"dhcpv6.hopcount", "-254"},
    {"dhcpv6.linkaddr", "-252"},
    {"dhcpv6.peeraddr", "-251"}};

// Fixed fields that tshark shows inside a DHCPv6 option and the tree holds
// as sub-options of it, by the sub-option's path below the option's parent.
const std::vector<std::pair<std::string, const char*>> kDhcp6SubFields = {
    {"3/1", "dhcpv6.iaid"},
    {"3/2", "dhcpv6.iaid.t1"},
    {"3/3", "dhcpv6.iaid.t2"},
    {"5/1", "dhcpv6.iaaddr.ip"},
    {"5/2", "dhcpv6.iaaddr.pref_lifetime"},
    {"5/3", "dhcpv6.iaaddr.valid_lifetime"},
    {"13/1", "dhcpv6.status_code"},
    {"13/2", "dhcpv6.status_msg"},
    {"16/1", "dhcpv6.vendorclass.enterprise"},
    {"16/2", "dhcpv6.vendorclass.data"},
    {"39/1", "dhcpv6.client_fqdn_flags"},
    {"39/2", "dhcpv6.client_domain"}};

// occurrences: each occurrence of key in node. tshark's JSON (-T json -x
// --no-duplicate-keys) holds a field "f" of a tree as its shown text under
// "f", its bytes under "f_raw" as [hex, offset, length, mask, type] and its
// own fields under "f_tree"; a key that repeats holds an array of each.
std::vector<const Json*> occurrences(const Json& node, const std::string& key) {
  const auto found = node.find(key);
  if (found == node.end()) return {};
  const bool oneRaw = endsWith(key, "_raw") && !found->empty() && !found->at(0).is_array();
  if (!found->is_array() || oneRaw) return {&*found};
  std::vector<const Json*> each;
  for (const Json& item : *found)
    each.push_back(&item);
  return each;
}

struct Field {  // one occurrence of a field: shown text, bytes, own fields
  std::string show;
  Bytes raw;
  const Json* tree = nullptr;
};

// fields: every occurrence of name in node. Raises std::runtime_error when
// the bytes or trees of a repeated field cannot be told apart.
std::vector<Field> fields(const Json& node, const std::string& name) {
  const auto shows = occurrences(node, name);
  const auto raws = occurrences(node, name + "_raw");
  const auto trees = occurrences(node, name + "_tree");
  if ((!raws.empty() && raws.size() != shows.size()) ||
      (!trees.empty() && trees.size() != shows.size()))
    throw std::runtime_error("tshark's occurrences of " + name + " do not line up");
  std::vector<Field> found(shows.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    found[i].show = text(*shows[i]);
    if (!raws.empty()) found[i].raw = qvt_test::fromHex(text(raws[i]->at(0)));
    if (!trees.empty()) found[i].tree = trees[i];
  }
  return found;
}

// collectShows: the shown texts of every field under tree. A protocol
// carried inside (a relayed message) is not a field of the tree.
void collectShows(const Json& tree, Shows& shows) {
  for (const auto& member : tree.items()) {
    const std::string& key = member.key();
    if (endsWith(key, "_tree")) {
      for (const Json* child : occurrences(tree, key))
        collectShows(*child, shows);
    } else if (!endsWith(key, "_raw") && !member.value().is_object()) {
      for (const Json* show : occurrences(tree, key))
        shows[key].push_back(text(*show));
    }
  }
}

// addField: the first occurrence of the tshark field name in node, at path.
void addField(TsharkPacket& packet, const Json& node, const std::string& name,
              const std::string& path, bool option = false) {
  const std::vector<Field> found = fields(node, name);
  if (found.empty()) return;
  Entry& entry = packet.fields[path];
  entry.raw = found[0].raw;
  entry.shows[name].push_back(found[0].show);
  entry.option = entry.option || option;
}

// addOption: an option whose bytes begin with a header of headerSize.
void addOption(TsharkPacket& packet, const Field& option, const std::string& path,
               std::size_t headerSize) {
  Entry& entry = packet.fields[path];
  entry.raw.assign(option.raw.begin() + std::min(headerSize, option.raw.size()), option.raw.end());
  if (option.tree != nullptr) collectShows(*option.tree, entry.shows);
  entry.option = true;
}

void readDhcp4(const Json& proto, TsharkPacket& packet) {
  packet.family = 4;
  for (const auto& [field, path] : kDhcp4Header)
    addField(packet, proto, field, path);
  // chaddr: tshark shows it as a MAC address for Ethernet, else as bytes.
  addField(packet, proto, proto.contains("dhcp.hw.mac_addr") ? "dhcp.hw.mac_addr" : "dhcp.hw.addr",
           "-30");
  for (const Field& option : fields(proto, "dhcp.option.type")) {
    if (option.raw.empty() || option.raw[0] == 0 || option.raw[0] == 255) continue;  // pad, end
    const std::string path = std::to_string(option.raw[0]);
    addOption(packet, option, path, 2);
    if (option.tree == nullptr) continue;
    for (const Field& sub : fields(*option.tree, "dhcp.option.agent_information_option.suboption"))
      if (!sub.raw.empty()) addOption(packet, sub, join(path, std::to_string(sub.raw[0])), 2);
  }
}

std::optional<std::string> optionCode(const Field& option) {
  if (option.tree == nullptr) return std::nullopt;
  const auto code = occurrences(*option.tree, "dhcpv6.option.type");
  if (code.empty()) return std::nullopt;
  return std::to_string(std::stoul(text(*code[0])));
}

// readDhcp6Options: the options under node, at paths below prefix; a relay's
// relay message option (9) is read as the relayed message instead.
void readDhcp6Options(const Json& node, const std::string& prefix, TsharkPacket& packet,
                      bool skipRelayMessage = false) {
  for (const Field& option : fields(node, "dhcpv6.option.type_str")) {
    const std::optional<std::string> code = optionCode(option);
    if (!code || (skipRelayMessage && *code == "9")) continue;
    const std::string path = join(prefix, *code);
    addOption(packet, option, path, 4);
    for (const auto& [sub, field] : kDhcp6SubFields)
      if (sub.rfind(*code + "/", 0) == 0)
        addField(packet, *option.tree, field, join(prefix, sub), true);
    readDhcp6Options(*option.tree, path, packet);
  }
}

// readDhcp6: one DHCPv6 message. A relay message becomes a relay entry under
// relayPath holding its own fields and options, and the message it carries
// is read in turn; the client's message lies at the top of the tree, with
// the hop count of the outermost relay.
void readDhcp6(const Json& proto, const std::string& relayPath, TsharkPacket& packet) {
  packet.family = 6;
  const auto type = occurrences(proto, "dhcpv6.msgtype");
  if (type.empty() || (text(*type[0]) != "12" && text(*type[0]) != "13")) {
    addField(packet, proto, "dhcpv6.msgtype", "-253");
    addField(packet, proto, "dhcpv6.xid", "-255");
    readDhcp6Options(proto, "", packet);
    return;
  }
  const std::string relay = join(relayPath, "-250");
  packet.fields[relay].option = true;
  if (relayPath.empty()) addField(packet, proto, "dhcpv6.hopcount", "-254");
  for (const auto& [field, code] : kRelay6Header)
    addField(packet, proto, field, join(relay, code));
  for (const Field& option : fields(proto, "dhcpv6.option.type_str"))
    if (optionCode(option) == "9")
      for (const Json* inner : occurrences(*option.tree, "dhcpv6"))
        readDhcp6(*inner, relay, packet);
  readDhcp6Options(proto, relay, packet, /*skipRelayMessage=*/true);
}

// tsharkPackets: the DHCP packets of a capture as tshark reads them.
std::vector<TsharkPacket> tsharkPackets(const std::string& file, std::string& error) {
  const qvt::test::CScratchDir dir;
  const qvt::test::CCommandResult result =
      runProgram(dir, "/usr/bin/env",
                 {"tshark", "-n", "-r", file, "-Y", "dhcp or dhcpv6", "-T", "json", "-x",
                  "--no-duplicate-keys"});
  if (result.status != 0) {
    error = "tshark failed (" + std::to_string(result.status) + "): " + result.err;
    return {};
  }
  std::vector<TsharkPacket> packets;
  try {
    for (const Json& document : qvt::test::parseJson(result.out)) {
      const Json& layers = document.at("_source").at("layers");
      TsharkPacket packet;
      packet.frame = std::stoi(text(layers.at("frame").at("frame.number")));
      for (const Json* proto : occurrences(layers, "dhcp"))
        readDhcp4(*proto, packet);
      for (const Json* proto : occurrences(layers, "dhcpv6"))
        readDhcp6(*proto, "", packet);
      packets.push_back(std::move(packet));
    }
  } catch (const std::exception& e) {
    error = std::string("tshark's JSON could not be read: ") + e.what();
  }
  return packets;
}

struct DumpOption {
  std::string type;
  std::vector<std::string> values;
};

struct DumpPacket {
  int frame = 0;
  int family = 0;
  std::string error;                          // the error object as text, if any
  std::map<std::string, DumpOption> options;  // by tag path text
  std::vector<std::string> order;             // the paths in the order printed
};

std::vector<DumpPacket> dumpPackets(const std::string& file, std::string& error) {
  const qvt::test::CScratchDir dir;
  const qvt::test::CCommandResult result = runDhcpEval(dir, {"--dump", file, "--json"});
  if (result.status != 0 && result.status != 1) {
    error = "dhcp-eval --dump failed (" + std::to_string(result.status) + "): " + result.err;
    return {};
  }
  std::vector<DumpPacket> packets;
  try {
    for (const Json& object : qvt::test::jsonLines(result.out)) {
      DumpPacket& packet = packets.emplace_back();
      packet.frame = std::stoi(text(object.at("frame")));
      if (object.contains("family")) packet.family = std::stoi(text(object.at("family")));
      if (object.contains("error")) packet.error = object.dump();
      for (const Json& option : object.value("options", Json::array())) {
        DumpOption& entry = packet.options[text(option.at("path"))];
        entry.type = text(option.at("type"));
        for (const Json& value : option.at("values"))
          entry.values.push_back(text(value));
        packet.order.push_back(text(option.at("path")));
      }
    }
  } catch (const std::exception& e) {
    error = std::string("unreadable dump: ") + e.what();
  }
  return packets;
}

// A tshark field whose shown texts must be the elements of the option at
// path (the option's own path: a relay entry's option ends with it).
const std::vector<std::pair<const char*, const char*>> kShownFields = {
    {"53", "dhcp.option.dhcp"},
    {"12", "dhcp.option.hostname"},
    {"60", "dhcp.option.vendor_class_id"},
    {"55", "dhcp.option.request_list_item"},
    {"82/1", "dhcp.option.agent_information_option.agent_circuit_id"},
    {"82/2", "dhcp.option.agent_information_option.agent_remote_id"},
    {"1", "dhcpv6.duid.bytes"},
    {"2", "dhcpv6.duid.bytes"},
    {"16/1", "dhcpv6.vendorclass.enterprise"},
    {"16/2", "dhcpv6.vendorclass.data"},
    {"-29", "dhcp.id"}};

// hexDigitsOnly: the hexadecimal digits of text in upper case ("72:30" and
// "72-30" both give "7230").
std::string hexDigitsOnly(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c)))
      digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return digits;
}

// sameShown: whether the dump's element and tshark's shown text mean the
// same for the dump's type (tshark shows bytes as "72:30", numbers as
// decimal or, for a transaction id, hexadecimal).
bool sameShown(const std::string& type, const std::string& element, const std::string& shown) {
  if (type == "byte_sequence") return hexDigitsOnly(element) == hexDigitsOnly(shown);
  if (shown.compare(0, 2, "0x") == 0 && !element.empty() &&
      element.find_first_not_of("0123456789") == std::string::npos)
    return std::stoull(element) == std::stoull(shown, nullptr, 16);
  return element == shown;
}

// expectedFor: the elements tshark's bytes make for the dump's option at
// path, or nullopt when the option is not compared by its bytes (one with
// sub-options in the dump is compared through them).
std::optional<std::vector<std::string>> expectedFor(const TsharkPacket& expected,
                                                    const DumpPacket& actual,
                                                    const std::string& path) {
  const auto tshark = expected.fields.find(path);
  const auto dump = actual.options.find(path);
  const auto next = actual.options.upper_bound(path + "/");
  const bool hasChildren =
      next != actual.options.end() && next->first.compare(0, path.size() + 1, path + "/") == 0;
  if (tshark == expected.fields.end() || dump == actual.options.end() || hasChildren)
    return std::nullopt;
  std::optional<std::vector<std::string>> values =
      expectedValues(dump->second.type, tshark->second.raw, expected.family);
  // The fixed-size text fields of the header (sname, file) end at a NUL.
  if (values && dump->second.type == "string" && path.compare(0, 1, "-") == 0)
    for (std::string& value : *values)
      value = value.substr(0, value.find('\0'));
  return values;
}

void comparePacket(const TsharkPacket& expected, const DumpPacket& actual) {
  SCOPED_TRACE("frame " + std::to_string(expected.frame));
  ASSERT_TRUE(actual.error.empty()) << "the dump refused the packet: " << actual.error;
  EXPECT_EQ(actual.family, expected.family);

  // The tree holds no top-level option that tshark does not see.
  for (const auto& entry : actual.options) {
    const bool topLevel = entry.first.find('/') == std::string::npos && entry.first[0] != '-';
    const auto seen = expected.fields.find(entry.first);
    EXPECT_TRUE(!topLevel || (seen != expected.fields.end() && seen->second.option))
        << "the dump has option " << entry.first << " that tshark does not see";
  }
  for (const auto& [path, tshark] : expected.fields) {
    const auto found = actual.options.find(path);
    if (found == actual.options.end()) {
      ADD_FAILURE() << (tshark.option ? "option " : "header field ") << path
                    << " missing from the dump";
      continue;
    }
    const DumpOption& dump = found->second;
    SCOPED_TRACE("path " + path + ", type " + dump.type);
    if (const auto values = expectedFor(expected, actual, path)) {
      EXPECT_EQ(listText(dump.values), listText(*values))
          << "tshark's bytes " << hexText(tshark.raw);
    }
    for (const auto& [ownPath, name] : kShownFields) {
      const auto field = tshark.shows.find(name);
      if (!(path == ownPath || endsWith(path, std::string("/") + ownPath)) ||
          field == tshark.shows.end())
        continue;
      ASSERT_EQ(field->second.size(), dump.values.size())
          << name << " shows " << listText(field->second);
      for (std::size_t i = 0; i < dump.values.size(); ++i)
        EXPECT_TRUE(sameShown(dump.type, dump.values[i], field->second[i]))
            << name << ": tshark shows \"" << field->second[i] << "\", the dump has \""
            << dump.values[i] << "\"";
    }
  }
}

std::vector<std::string> captureFiles() {
  std::vector<std::string> files;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples, ignored)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".pcap" || extension == ".pcapng") files.push_back(entry.path().filename());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Both readings of one capture, made once per test program.
struct Capture {
  std::string error;
  std::vector<TsharkPacket> expected;
  std::vector<DumpPacket> actual;
};

const Capture& capture(const std::string& name) {
  static std::map<std::string, Capture> captures;
  if (const auto found = captures.find(name); found != captures.end()) return found->second;
  Capture& result = captures[name];
  result.expected = tsharkPackets(kExamples + "/" + name, result.error);
  if (result.error.empty()) result.actual = dumpPackets(kExamples + "/" + name, result.error);
  return result;
}

// The comparisons need tshark; without it they are skipped, saying why.
class WithTshark : public testing::Test {
 protected:
  void SetUp() override {
    if (!tsharkInstalled())
      GTEST_SKIP() << "tshark is not installed (scripts/setup.sh installs it): the captures "
                      "cannot be compared with an independent decoder";
  }
};

class BundledCapturesTest : public WithTshark, public testing::WithParamInterface<std::string> {};

TEST_P(BundledCapturesTest, DumpAgreesWithTshark) {
  const Capture& data = capture(GetParam());
  ASSERT_EQ(data.error, "");
  ASSERT_FALSE(data.expected.empty()) << "tshark sees no DHCP packet";
  EXPECT_EQ(data.actual.size(), data.expected.size()) << "the dump and tshark count differently";
  for (const TsharkPacket& packet : data.expected) {
    const auto found = std::find_if(data.actual.begin(), data.actual.end(),
                                    [&](const DumpPacket& p) { return p.frame == packet.frame; });
    if (found == data.actual.end()) {
      ADD_FAILURE() << "frame " << packet.frame << " missing from the dump";
      continue;
    }
    comparePacket(packet, *found);
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, BundledCapturesTest, testing::ValuesIn(captureFiles()),
                         [](const testing::TestParamInfo<std::string>& param) {
                           std::string name = param.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

using BundledCaptures = WithTshark;

TEST_F(BundledCaptures, CoverTheCommonFields) {
  const std::vector<std::string> files = captureFiles();
  ASSERT_FALSE(files.empty()) << "no capture in " << kExamples;
  std::set<std::string> compared;
  for (const std::string& file : files) {
    const Capture& data = capture(file);
    ASSERT_EQ(data.error, "") << file;
    for (const TsharkPacket& packet : data.expected)
      for (const DumpPacket& dump : data.actual)
        if (dump.frame == packet.frame)
          for (const auto& entry : packet.fields)
            if (expectedFor(packet, dump, entry.first)) compared.insert(entry.first);
  }
  // What the captures are there to show: the header fields (op, htype, hlen,
  // hops, xid, secs, yiaddr, giaddr, chaddr, cookie; DHCPv6 message type, xid
  // and hop count), the common DHCPv4 options with both agent sub-options,
  // the DHCPv6 identifiers and vendor class, and a relay's hop count and
  // addresses.
  for (const char* path :
       {"53",   "60",   "61",  "12",   "55",   "82/1", "82/2",    "1",         "2",
        "16/1", "16/2", "-16", "-26",  "-27",  "-28",  "-29",     "-24",       "-19",
        "-21",  "-30",  "-31", "-253", "-255", "-254", "-250/18", "-250/-254", "-250/-252"})
    EXPECT_TRUE(compared.count(path)) << path << " was compared in no capture";
}

TEST(BundledHexPayload, DecodesAsItsFrame) {
  // payload-discover.hex is frame 1 of dhcp4-exchange.pcap as hex text.
  std::string error;
  const std::vector<DumpPacket> hex = dumpPackets(kExamples + "/payload-discover.hex", error);
  const std::vector<DumpPacket> frames = dumpPackets(kExamples + "/dhcp4-exchange.pcap", error);
  ASSERT_EQ(error, "");
  ASSERT_EQ(hex.size(), 1u);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(hex[0].frame, 1);
  EXPECT_EQ(hex[0].family, 4);
  EXPECT_EQ(hex[0].order, frames[0].order);
  for (const auto& [path, option] : frames[0].options) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(hex[0].options.count(path));
    EXPECT_EQ(hex[0].options.at(path).type, option.type);
    EXPECT_EQ(listText(hex[0].options.at(path).values), listText(option.values));
  }
}

}  // namespace
