// BundledCapturesTest: every DHCP packet of the captures in examples/, as
// `dhcp-eval --dump --json` decodes it, compared with what tshark (an
// independent decoder) reports for the same packet.
//
// tshark's JSON (read with nlohmann::json) gives, per frame, the header
// fields and the raw bytes of every option and sub-option. Each option the
// dump prints at such a path must hold exactly the elements those bytes make
// for the option type the dump names (8bit elements are bytes in decimal, ipaddress elements four
// or sixteen bytes in address text, byte sequences "0A-1B", ...); the common options are further
// checked against tshark's own reading of them (message type, host name, vendor class, parameter
// list, agent sub-options, DUIDs, the DHCPv6 vendor class). The option codes of both must agree
// too.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "tools/CommandRunner.h"
#include "tools/ToolTestSupport.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using qvt::test::Json;
using qvt::test::text;
using qvt_test::fromHex;

const std::string kExamples = std::string(DHCP_EVAL_SOURCE_DIR) + "/examples";

// tsharkPath: where tshark is on the PATH, or nothing.
std::optional<std::string> tsharkPath() {
  const char* path = std::getenv("PATH");
  std::istringstream directories(path != nullptr ? path : "");
  for (std::string directory; std::getline(directories, directory, ':');) {
    const fs::path candidate = fs::path(directory.empty() ? "." : directory) / "tshark";
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Byte and text helpers

Bytes tail(const Bytes& bytes, std::size_t from) {
  return from >= bytes.size() ? Bytes() : Bytes(bytes.begin() + from, bytes.end());
}

std::string hexText(const Bytes& bytes) {
  std::string text;
  for (const unsigned char& b : bytes)
    text += (text.empty() ? "" : "-") + qvt_test::toHex(&b, 1);
  return text;
}

// hexDigitsOnly: the hexadecimal digits of text in upper case ("72:30" and
// "72-30" both give "7230").
std::string hexDigitsOnly(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c)))
      digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return digits;
}

// pathText: a tag path element as the dump writes it (as $INP reads it):
// decimal, the header fields' codes as negative numbers.
std::string pathText(std::uint32_t code) {
  return std::to_string(static_cast<std::int32_t>(code));
}

std::string join(const std::string& prefix, std::uint32_t code) {
  return prefix.empty() ? pathText(code) : prefix + "/" + pathText(code);
}

std::string listText(const std::vector<std::string>& items) {
  std::string text = "[";
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i ? ", \"" : "\"") + items[i] + "\"";
  return text + "]";
}

// expectedValues: the elements that `bytes` make for an option of type
// `type`, as text; nullopt for the types whose elements are not read from
// the option's bytes alone (encapsulating types, expressions, times).
std::optional<std::vector<std::string>> expectedValues(const std::string& type, const Bytes& bytes,
                                                       int family) {
  std::vector<std::string> values;
  const std::map<std::string, std::size_t> widths = {
      {"8bit", 1}, {"16bit", 2}, {"24bit", 3}, {"32bit", 4}, {"64bit", 8}};
  if (const auto width = widths.find(type); width != widths.end()) {
    const std::size_t w = bytes.size() < width->second ? bytes.size() : width->second;
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

// ---------------------------------------------------------------------------
// tshark's reading of one packet, by the tag paths of the option tree

struct TsharkOption {
  Bytes raw;                                              // the value bytes
  std::map<std::string, std::vector<std::string>> shows;  // field name -> shown texts
};

struct TsharkPacket {
  int frame = 0;
  int family = 0;
  std::map<std::string, TsharkOption> fields;  // header fields, options, sub-options
  std::set<std::string> optionPaths;           // the options and sub-options alone
};

// Header codes of the option tree (negative as signed 32-bit numbers).
constexpr std::uint32_t kOp = 0xfffffff0, kCiaddr = 0xffffffee, kYiaddr = 0xffffffed,
                        kSiaddr = 0xffffffec, kGiaddr = 0xffffffeb, kSname = 0xffffffea,
                        kSecs = 0xffffffe8, kFlags = 0xffffffe7, kHtype = 0xffffffe6,
                        kHlen = 0xffffffe5, kHops = 0xffffffe4, kXid = 0xffffffe3,
                        kChaddr = 0xffffffe2, kCookie = 0xffffffe1, kFile = 0xffffffe0;
constexpr std::uint32_t kXid6 = 0xffffff01, kHopCount6 = 0xffffff02, kMsgType6 = 0xffffff03,
                        kLinkAddress6 = 0xffffff04, kPeerAddress6 = 0xffffff05,
                        kRelay6 = 0xffffff06;

const std::vector<std::pair<const char*, std::uint32_t>> kDhcp4Header = {
    {"dhcp.type", kOp},          {"dhcp.hw.type", kHtype},    {"dhcp.hw.len", kHlen},
    {"dhcp.hops", kHops},        {"dhcp.id", kXid},           {"dhcp.secs", kSecs},
    {"dhcp.flags", kFlags},      {"dhcp.ip.client", kCiaddr}, {"dhcp.ip.your", kYiaddr},
    {"dhcp.ip.server", kSiaddr}, {"dhcp.ip.relay", kGiaddr},  {"dhcp.server", kSname},
    {"dhcp.file", kFile},        {"dhcp.cookie", kCookie}};
const std::vector<std::pair<const char*, std::uint32_t>> kRelay6Header = {
    {"dhcpv6.msgtype", kMsgType6},
    {"dhcpv6.hopcount", kHopCount6},
    {"dhcpv6.linkaddr", kLinkAddress6},
    {"dhcpv6.peeraddr", kPeerAddress6}};

// Fixed fields that tshark shows inside a DHCPv6 option and the tree holds
// as sub-options of it: (option code, tshark field, sub-option code).
struct SubField {
  std::uint32_t option;
  const char* field;
  std::uint32_t sub;
};
const std::vector<SubField> kDhcp6SubFields = {{3, "dhcpv6.iaid", 1},
                                               {3, "dhcpv6.iaid.t1", 2},
                                               {3, "dhcpv6.iaid.t2", 3},
                                               {5, "dhcpv6.iaaddr.ip", 1},
                                               {5, "dhcpv6.iaaddr.pref_lifetime", 2},
                                               {5, "dhcpv6.iaaddr.valid_lifetime", 3},
                                               {13, "dhcpv6.status_code", 1},
                                               {13, "dhcpv6.status_msg", 2},
                                               {16, "dhcpv6.vendorclass.enterprise", 1},
                                               {16, "dhcpv6.vendorclass.data", 2},
                                               {39, "dhcpv6.client_fqdn_flags", 1},
                                               {39, "dhcpv6.client_domain", 2}};

// tshark's JSON (-T json -x --no-duplicate-keys) holds, for a field "f" of a
// tree, its shown text under "f", its bytes under "f_raw" as [hex, offset,
// length, mask, type] and its own fields under "f_tree"; a field that occurs
// more than once in a tree holds an array of each instead.

// fieldShows: the shown texts of every occurrence of name in node.
std::vector<std::string> fieldShows(const Json& node, const std::string& name) {
  std::vector<std::string> shows;
  const auto found = node.find(name);
  if (found == node.end()) return shows;
  if (!found->is_array()) return {text(*found)};
  for (const Json& show : *found)
    shows.push_back(text(show));
  return shows;
}

// objects: the object under key in node, or each of them when it repeats.
std::vector<const Json*> objects(const Json& node, const std::string& key) {
  std::vector<const Json*> found;
  const auto value = node.find(key);
  if (value == node.end()) return found;
  if (value->is_object()) return {&*value};
  for (const Json& item : *value)
    if (item.is_object()) found.push_back(&item);
  return found;
}

// One occurrence of a field: what tshark shows, its bytes, its own fields.
struct Field {
  std::string show;
  Bytes raw;
  const Json* tree = nullptr;
};

// fields: every occurrence of name in node. Raises std::runtime_error when
// the bytes or trees of a repeated field cannot be told apart.
std::vector<Field> fields(const Json& node, const std::string& name) {
  std::vector<Field> found;
  for (const std::string& show : fieldShows(node, name))
    found.push_back(Field{show, {}, nullptr});
  std::vector<Bytes> raws;
  if (const auto raw = node.find(name + "_raw"); raw != node.end() && !raw->empty()) {
    if (raw->at(0).is_array()) {
      for (const Json& one : *raw)
        raws.push_back(fromHex(text(one.at(0))));
    } else {
      raws.push_back(fromHex(text(raw->at(0))));
    }
  }
  const std::vector<const Json*> trees = objects(node, name + "_tree");
  if ((!raws.empty() && raws.size() != found.size()) ||
      (!trees.empty() && trees.size() != found.size()))
    throw std::runtime_error("tshark's occurrences of " + name + " do not line up");
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (!raws.empty()) found[i].raw = raws[i];
    if (!trees.empty()) found[i].tree = trees[i];
  }
  return found;
}

// collectShows: the shown texts of every field under tree, by field name. A
// protocol carried inside (a relayed message) is not a field of the tree.
void collectShows(const Json& tree, std::map<std::string, std::vector<std::string>>& shows) {
  const auto endsWith = [](const std::string& key, const std::string& end) {
    return key.size() >= end.size() && key.compare(key.size() - end.size(), end.size(), end) == 0;
  };
  for (const auto& member : tree.items()) {
    const std::string& key = member.key();
    if (endsWith(key, "_raw")) continue;
    if (endsWith(key, "_tree")) {
      for (const Json* child : objects(tree, key))
        collectShows(*child, shows);
    } else if (!member.value().is_object()) {
      for (const std::string& show : fieldShows(tree, key))
        shows[key].push_back(show);
    }
  }
}

// addField: the first occurrence of the tshark field name in node, at path.
void addField(TsharkPacket& packet, const Json& node, const std::string& name,
              const std::string& path) {
  const std::vector<Field> found = fields(node, name);
  if (found.empty()) return;
  TsharkOption& entry = packet.fields[path];
  entry.raw = found[0].raw;
  entry.shows[name].push_back(found[0].show);
}

// addOption: an option whose bytes begin with a header of headerSize.
void addOption(TsharkPacket& packet, const Field& option, const std::string& path,
               std::size_t headerSize) {
  TsharkOption& entry = packet.fields[path];
  entry.raw = tail(option.raw, headerSize);
  if (option.tree != nullptr) collectShows(*option.tree, entry.shows);
  packet.optionPaths.insert(path);
}

void readDhcp4(const Json& proto, TsharkPacket& packet) {
  packet.family = 4;
  for (const auto& [field, code] : kDhcp4Header)
    addField(packet, proto, field, pathText(code));
  // chaddr: tshark shows it as a MAC address for Ethernet, else as bytes.
  addField(packet, proto, proto.contains("dhcp.hw.mac_addr") ? "dhcp.hw.mac_addr" : "dhcp.hw.addr",
           pathText(kChaddr));
  for (const Field& option : fields(proto, "dhcp.option.type")) {
    if (option.raw.empty() || option.raw[0] == 0 || option.raw[0] == 255) continue;  // pad, end
    const std::string path = pathText(option.raw[0]);
    addOption(packet, option, path, 2);
    if (option.tree == nullptr) continue;
    for (const Field& sub :
         fields(*option.tree, "dhcp.option.agent_information_option.suboption")) {
      if (!sub.raw.empty()) addOption(packet, sub, join(path, sub.raw[0]), 2);
    }
  }
}

// optionCode: the code of a DHCPv6 option, or nothing.
std::optional<std::uint32_t> optionCode(const Field& option) {
  if (option.tree == nullptr) return std::nullopt;
  const std::vector<std::string> code = fieldShows(*option.tree, "dhcpv6.option.type");
  if (code.empty()) return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(code[0]));
}

// readDhcp6Options: the options under node, at paths below prefix; a relay's
// relay message option (9) is read as the relayed message instead.
void readDhcp6Options(const Json& node, const std::string& prefix, TsharkPacket& packet,
                      bool skipRelayMessage = false) {
  for (const Field& option : fields(node, "dhcpv6.option.type_str")) {
    const std::optional<std::uint32_t> code = optionCode(option);
    if (!code || (skipRelayMessage && *code == 9)) continue;
    const std::string path = join(prefix, *code);
    addOption(packet, option, path, 4);
    for (const SubField& sub : kDhcp6SubFields) {
      if (sub.option != *code || !option.tree->contains(sub.field)) continue;
      addField(packet, *option.tree, sub.field, join(path, sub.sub));
      packet.optionPaths.insert(join(path, sub.sub));
    }
    readDhcp6Options(*option.tree, path, packet);
  }
}

// readDhcp6: one DHCPv6 message. A relay message becomes a relay entry under
// relayPath holding its own fields and options, and the message it carries
// is read in turn; the client's message lies at the top of the tree, with
// the hop count of the outermost relay.
void readDhcp6(const Json& proto, const std::string& relayPath, TsharkPacket& packet) {
  packet.family = 6;
  const std::vector<std::string> type = fieldShows(proto, "dhcpv6.msgtype");
  if (type.empty() || (type[0] != "12" && type[0] != "13")) {
    addField(packet, proto, "dhcpv6.msgtype", pathText(kMsgType6));
    addField(packet, proto, "dhcpv6.xid", pathText(kXid6));
    readDhcp6Options(proto, "", packet);
    return;
  }
  const std::string relay = join(relayPath, kRelay6);
  packet.optionPaths.insert(relay);
  if (relayPath.empty()) addField(packet, proto, "dhcpv6.hopcount", pathText(kHopCount6));
  for (const auto& [field, code] : kRelay6Header)
    addField(packet, proto, field, join(relay, code));
  for (const Field& option : fields(proto, "dhcpv6.option.type_str")) {
    if (optionCode(option) != 9u) continue;
    for (const Json* inner : objects(*option.tree, "dhcpv6"))
      readDhcp6(*inner, relay, packet);
  }
  readDhcp6Options(proto, relay, packet, /*skipRelayMessage=*/true);
}

// tsharkPackets: the DHCP packets of a capture as tshark reads them.
std::vector<TsharkPacket> tsharkPackets(const std::string& file, std::string& error) {
  const qvt::test::CScratchDir dir;
  const qvt::test::CCommandResult result = runProgram(
      dir, tsharkPath().value_or("tshark"),
      {"-n", "-r", file, "-Y", "dhcp or dhcpv6", "-T", "json", "-x", "--no-duplicate-keys"});
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
      for (const Json* proto : objects(layers, "dhcp"))
        readDhcp4(*proto, packet);
      for (const Json* proto : objects(layers, "dhcpv6"))
        readDhcp6(*proto, "", packet);
      packets.push_back(std::move(packet));
    }
  } catch (const std::exception& e) {
    error = std::string("tshark's JSON could not be read: ") + e.what();
  }
  return packets;
}

// ---------------------------------------------------------------------------
// The dump's reading of one packet

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
    for (const std::string& line : qvt::test::lines(result.out)) {
      if (line.empty()) continue;
      const Json object = qvt::test::parseJson(line);
      DumpPacket packet;
      packet.frame = std::stoi(text(object.at("frame")));
      if (object.contains("family")) packet.family = std::stoi(text(object.at("family")));
      if (object.contains("error")) packet.error = line;
      for (const Json& option : object.value("options", Json::array())) {
        DumpOption& entry = packet.options[text(option.at("path"))];
        entry.type = text(option.at("type"));
        for (const Json& value : option.at("values"))
          entry.values.push_back(text(value));
        packet.order.push_back(text(option.at("path")));
      }
      packets.push_back(std::move(packet));
    }
  } catch (const std::exception& e) {
    error = std::string("unreadable dump: ") + e.what();
  }
  return packets;
}

// ---------------------------------------------------------------------------
// The comparison

// A tshark field whose shown texts must be the elements of the option at
// path (the option's own path: a relay entry's option ends with it).
struct ShownField {
  const char* path;
  const char* field;
};
const std::vector<ShownField> kShownFields = {
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
    {"-29", "dhcp.id"},
};

bool endsWithPath(const std::string& path, const std::string& own) {
  return path == own ||
         (path.size() > own.size() + 1 &&
          path.compare(path.size() - own.size() - 1, own.size() + 1, "/" + own) == 0);
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

bool isTopLevelOption(const std::string& path) {
  return path.find('/') == std::string::npos && path.compare(0, 1, "-") != 0;
}

// hasChildren: whether the dump holds sub-options of path; such an option's
// bytes are compared through its sub-options.
bool hasChildren(const DumpPacket& packet, const std::string& path) {
  const auto next = packet.options.upper_bound(path + "/");
  return next != packet.options.end() && next->first.compare(0, path.size() + 1, path + "/") == 0;
}

// expectedFor: the elements tshark's bytes make for the dump's option at
// path, or nullopt when the option is not compared by its bytes.
std::optional<std::vector<std::string>> expectedFor(const TsharkPacket& expected,
                                                    const DumpPacket& actual,
                                                    const std::string& path) {
  const auto tshark = expected.fields.find(path);
  const auto dump = actual.options.find(path);
  if (tshark == expected.fields.end() || dump == actual.options.end() || hasChildren(actual, path))
    return std::nullopt;
  std::optional<std::vector<std::string>> values =
      expectedValues(dump->second.type, tshark->second.raw, expected.family);
  // The fixed-size text fields of the header (sname, file) end at a NUL.
  if (values && dump->second.type == "string" && path.compare(0, 1, "-") == 0)
    for (std::string& value : *values)
      value = value.substr(0, value.find('\0'));
  return values;
}

// comparedPaths: the paths whose elements the comparison of a file checks.
std::set<std::string> comparedPaths(const std::vector<TsharkPacket>& expected,
                                    const std::vector<DumpPacket>& actual) {
  std::set<std::string> paths;
  for (const TsharkPacket& packet : expected)
    for (const DumpPacket& dump : actual)
      if (dump.frame == packet.frame)
        for (const auto& entry : packet.fields)
          if (expectedFor(packet, dump, entry.first)) paths.insert(entry.first);
  return paths;
}

void comparePacket(const TsharkPacket& expected, const DumpPacket& actual) {
  SCOPED_TRACE("frame " + std::to_string(expected.frame));
  ASSERT_TRUE(actual.error.empty()) << "the dump refused the packet: " << actual.error;
  EXPECT_EQ(actual.family, expected.family);

  // Every option and sub-option tshark sees is in the tree, and the tree
  // holds no top-level option that tshark does not see.
  for (const std::string& path : expected.optionPaths)
    EXPECT_TRUE(actual.options.count(path)) << "option " << path << " missing from the dump";
  for (const auto& entry : actual.options) {
    if (isTopLevelOption(entry.first)) {
      EXPECT_TRUE(expected.optionPaths.count(entry.first))
          << "the dump has option " << entry.first << " that tshark does not see";
    }
  }

  for (const auto& [path, tshark] : expected.fields) {
    const auto found = actual.options.find(path);
    if (found == actual.options.end()) {
      if (!expected.optionPaths.count(path)) ADD_FAILURE() << "header field " << path << " missing";
      continue;
    }
    const DumpOption& dump = found->second;
    SCOPED_TRACE("path " + path + ", type " + dump.type);
    if (const auto values = expectedFor(expected, actual, path)) {
      EXPECT_EQ(listText(dump.values), listText(*values))
          << "tshark's bytes " << hexText(tshark.raw);
    }

    for (const ShownField& shown : kShownFields) {
      const auto field = tshark.shows.find(shown.field);
      if (!endsWithPath(path, shown.path) || field == tshark.shows.end()) continue;
      ASSERT_EQ(field->second.size(), dump.values.size())
          << shown.field << " shows " << listText(field->second);
      for (std::size_t i = 0; i < dump.values.size(); ++i)
        EXPECT_TRUE(sameShown(dump.type, dump.values[i], field->second[i]))
            << shown.field << ": tshark shows \"" << field->second[i] << "\", the dump has \""
            << dump.values[i] << "\"";
    }
  }
}

std::vector<std::string> captureFiles() {
  std::vector<std::string> files;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(kExamples, ignored)) {
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
  const std::string file = kExamples + "/" + name;
  result.expected = tsharkPackets(file, result.error);
  if (result.error.empty()) result.actual = dumpPackets(file, result.error);
  return result;
}

std::string testName(const testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param)
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

// The comparisons need tshark; without it they are skipped, saying why.
class WithTshark : public testing::Test {
 protected:
  void SetUp() override {
    if (!tsharkPath())
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
                         testName);

using BundledCaptures = WithTshark;

TEST_F(BundledCaptures, CoverTheCommonFields) {
  const std::vector<std::string> files = captureFiles();
  ASSERT_FALSE(files.empty()) << "no capture in " << kExamples;
  std::set<std::string> compared;
  for (const std::string& file : files) {
    const Capture& data = capture(file);
    ASSERT_EQ(data.error, "") << file;
    for (const std::string& path : comparedPaths(data.expected, data.actual))
      compared.insert(path);
  }
  // What the captures are there to show: the header fields, the common
  // DHCPv4 options with both agent sub-options, the DHCPv6 identifiers and
  // vendor class, and a relay's hop count and addresses.
  const std::string relay = pathText(kRelay6) + "/";
  std::vector<std::string> expected = {"53",   "60", "61", "12",   "55",   "82/1",
                                       "82/2", "1",  "2",  "16/1", "16/2", relay + "18"};
  for (std::uint32_t code : {kOp, kHtype, kHlen, kHops, kXid, kSecs, kYiaddr, kGiaddr, kChaddr,
                             kCookie, kMsgType6, kXid6, kHopCount6})
    expected.push_back(pathText(code));
  for (std::uint32_t code : {kHopCount6, kLinkAddress6})
    expected.push_back(relay + pathText(code));
  for (const std::string& path : expected)
    EXPECT_TRUE(compared.count(path)) << path << " was compared in no capture";
}

TEST(BundledHexPayload, DecodesAsItsFrame) {
  // payload-discover.hex is frame 1 of dhcp4-exchange.pcap as hex text.
  std::string error;
  const std::vector<DumpPacket> hex = dumpPackets(kExamples + "/payload-discover.hex", error);
  ASSERT_EQ(error, "");
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
