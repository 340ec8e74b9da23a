// BundledCapturesTest: every DHCP packet of the captures in examples/, as
// `dhcp-eval --dump --json` decodes it, compared with what tshark (an
// independent decoder) reports for the same packet.
//
// tshark's PDML tree gives, per frame, the header fields and the raw bytes of
// every option and sub-option. Each option the dump prints at such a path
// must hold exactly the elements those bytes make for the option type the
// dump names (8bit elements are bytes in decimal, ipaddress elements four or
// sixteen bytes in address text, byte sequences "0A-1B", ...); the common
// options are further checked against tshark's own reading of them (message
// type, host name, vendor class, parameter list, agent sub-options, DUIDs,
// the DHCPv6 vendor class). The option codes of both must agree too.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "tools/CommandRunner.h"
#include "tools/JsonReader.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using qvt::test::CJson;
using qvt_test::fromHex;

const std::string kExamples = std::string(DHCP_EVAL_SOURCE_DIR) + "/examples";

std::string quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// run: the exit status (-1 when the command did not end normally) and the
// standard output of a shell command.
std::pair<int, std::string> run(const std::string& command) {
  std::pair<int, std::string> result{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[65536];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.second.append(buffer, n);
  const int status = pclose(pipe);
  result.first = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool tsharkInstalled() {
  return run("command -v tshark >/dev/null").first == 0;
}

// ---------------------------------------------------------------------------
// tshark's PDML (XML) as a tree of elements

struct XmlNode {
  std::string tag;
  std::map<std::string, std::string> attributes;
  std::vector<XmlNode> children;

  std::string attribute(const std::string& name) const {
    const auto found = attributes.find(name);
    return found == attributes.end() ? std::string() : found->second;
  }
  std::string name() const { return attribute("name"); }
};

std::string decodeEntities(const std::string& text) {
  static const std::map<std::string, char> kNamed = {
      {"quot", '"'}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string::npos;
    const std::string entity =
        end == std::string::npos ? std::string() : text.substr(i + 1, end - i - 1);
    if (kNamed.count(entity)) {
      out += kNamed.at(entity);
    } else if (entity.size() > 2 && entity[0] == '#') {
      const bool hex = entity[1] == 'x';
      out += static_cast<char>(std::stoul(entity.substr(hex ? 2 : 1), nullptr, hex ? 16 : 10));
    } else {
      out += end == std::string::npos ? text.substr(i, 1) : text.substr(i, end - i + 1);
    }
    i = end == std::string::npos ? i : end;
  }
  return out;
}

// parseXml: the elements of text under an unnamed root; nullopt when the
// text is not well formed as far as this reader looks.
std::optional<XmlNode> parseXml(const std::string& text) {
  XmlNode root;
  std::vector<XmlNode*> open{&root};
  std::size_t pos = 0;
  while ((pos = text.find('<', pos)) != std::string::npos) {
    if (text.compare(pos, 2, "<?") == 0 || text.compare(pos, 2, "<!") == 0) {
      pos = text.find('>', pos);
      if (pos == std::string::npos) return std::nullopt;
      continue;
    }
    if (text.compare(pos, 2, "</") == 0) {
      if (open.size() < 2) return std::nullopt;
      open.pop_back();
      pos = text.find('>', pos);
      if (pos == std::string::npos) return std::nullopt;
      continue;
    }
    XmlNode node;
    std::size_t end = text.find_first_of(" \t\r\n/>", ++pos);
    if (end == std::string::npos) return std::nullopt;
    node.tag = text.substr(pos, end - pos);
    pos = end;
    bool selfClosing = false;
    for (;;) {
      pos = text.find_first_not_of(" \t\r\n", pos);
      if (pos == std::string::npos) return std::nullopt;
      if (text.compare(pos, 2, "/>") == 0) {
        selfClosing = true;
        pos += 2;
        break;
      }
      if (text[pos] == '>') {
        ++pos;
        break;
      }
      const std::size_t equals = text.find('=', pos);
      if (equals == std::string::npos || equals + 1 >= text.size()) return std::nullopt;
      const char delimiter = text[equals + 1];
      const std::size_t close = text.find(delimiter, equals + 2);
      if (close == std::string::npos) return std::nullopt;
      node.attributes[text.substr(pos, equals - pos)] =
          decodeEntities(text.substr(equals + 2, close - equals - 2));
      pos = close + 1;
    }
    // An open element only gains children while it is the innermost one, so
    // the pointers to the open elements stay valid.
    open.back()->children.push_back(std::move(node));
    if (!selfClosing) open.push_back(&open.back()->children.back());
  }
  if (open.size() != 1) return std::nullopt;
  return root;
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

const XmlNode* child(const XmlNode& node, const std::string& name) {
  for (const XmlNode& c : node.children)
    if (c.name() == name) return &c;
  return nullptr;
}

void collectShows(const XmlNode& node, std::map<std::string, std::vector<std::string>>& shows) {
  for (const XmlNode& c : node.children) {
    if (c.tag != "field") continue;
    if (c.attributes.count("show")) shows[c.name()].push_back(c.attribute("show"));
    collectShows(c, shows);
  }
}

// addField: the tshark field `name` (a child of node) at `path`.
void addField(TsharkPacket& packet, const XmlNode& node, const std::string& name,
              const std::string& path) {
  if (const XmlNode* field = child(node, name)) {
    TsharkOption& entry = packet.fields[path];
    entry.raw = fromHex(field->attribute("value"));
    entry.shows[name].push_back(field->attribute("show"));
  }
}

// addOption: an option node whose whole bytes carry a header of headerSize.
TsharkOption& addOption(TsharkPacket& packet, const XmlNode& node, const std::string& path,
                        std::size_t headerSize) {
  TsharkOption& option = packet.fields[path];
  option.raw = tail(fromHex(node.attribute("value")), headerSize);
  collectShows(node, option.shows);
  packet.optionPaths.insert(path);
  return option;
}

void readDhcp4(const XmlNode& proto, TsharkPacket& packet) {
  packet.family = 4;
  for (const auto& [field, code] : kDhcp4Header)
    addField(packet, proto, field, pathText(code));
  // chaddr: tshark shows it as a MAC address for Ethernet, else as bytes.
  addField(packet, proto, child(proto, "dhcp.hw.mac_addr") ? "dhcp.hw.mac_addr" : "dhcp.hw.addr",
           pathText(kChaddr));
  for (const XmlNode& node : proto.children) {
    if (node.name() != "dhcp.option.type") continue;
    const Bytes whole = fromHex(node.attribute("value"));
    if (whole.empty() || whole[0] == 0 || whole[0] == 255) continue;  // pad, end
    const std::string path = pathText(whole[0]);
    addOption(packet, node, path, 2);
    for (const XmlNode& sub : node.children) {
      if (sub.name() != "dhcp.option.agent_information_option.suboption") continue;
      const Bytes subWhole = fromHex(sub.attribute("value"));
      if (!subWhole.empty()) addOption(packet, sub, join(path, subWhole[0]), 2);
    }
  }
}

// readDhcp6Options: the options under node, at paths below prefix; a relay's
// relay message option (9) is read as the relayed message instead.
void readDhcp6Options(const XmlNode& node, const std::string& prefix, TsharkPacket& packet,
                      bool skipRelayMessage = false) {
  for (const XmlNode& option : node.children) {
    const XmlNode* type = child(option, "dhcpv6.option.type");
    if (option.name() != "dhcpv6.option.type_str" || type == nullptr) continue;
    const std::uint32_t code = std::stoul(type->attribute("show"));
    if (skipRelayMessage && code == 9) continue;
    const std::string path = join(prefix, code);
    addOption(packet, option, path, 4);
    for (const SubField& sub : kDhcp6SubFields) {
      if (sub.option != code || child(option, sub.field) == nullptr) continue;
      addField(packet, option, sub.field, join(path, sub.sub));
      packet.optionPaths.insert(join(path, sub.sub));
    }
    readDhcp6Options(option, path, packet);
  }
}

// readDhcp6: one DHCPv6 message. A relay message becomes a relay entry under
// relayPath holding its own fields and options, and the message it carries
// is read in turn; the client's message lies at the top of the tree, with
// the hop count of the outermost relay.
void readDhcp6(const XmlNode& proto, const std::string& relayPath, TsharkPacket& packet) {
  packet.family = 6;
  const XmlNode* msgType = child(proto, "dhcpv6.msgtype");
  const std::string type = msgType ? msgType->attribute("show") : "";
  if (type != "12" && type != "13") {
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
  for (const XmlNode& option : proto.children) {
    const XmlNode* code = child(option, "dhcpv6.option.type");
    if (code == nullptr || code->attribute("show") != "9") continue;
    for (const XmlNode& inner : option.children)
      if (inner.tag == "proto" && inner.name() == "dhcpv6") readDhcp6(inner, relay, packet);
  }
  readDhcp6Options(proto, relay, packet, /*skipRelayMessage=*/true);
}

// tsharkPackets: the DHCP packets of a capture as tshark reads them.
std::vector<TsharkPacket> tsharkPackets(const std::string& file, std::string& error) {
  const auto [status, pdml] = run("tshark -n -r " + quote(file) + " -Y 'dhcp or dhcpv6' -T pdml");
  if (status != 0) {
    error = "tshark failed (" + std::to_string(status) + ")";
    return {};
  }
  const std::optional<XmlNode> root = parseXml(pdml);
  if (!root) {
    error = "tshark's PDML could not be read";
    return {};
  }
  std::vector<TsharkPacket> packets;
  for (const XmlNode& document : root->children) {
    for (const XmlNode& node : document.children) {
      if (node.tag != "packet") continue;
      TsharkPacket packet;
      for (const XmlNode& proto : node.children) {
        if (proto.name() == "frame") {
          if (const XmlNode* number = child(proto, "frame.number"))
            packet.frame = std::stoi(number->attribute("show"));
        } else if (proto.name() == "dhcp") {
          readDhcp4(proto, packet);
        } else if (proto.name() == "dhcpv6") {
          readDhcp6(proto, "", packet);
        }
      }
      packets.push_back(std::move(packet));
    }
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
      const CJson object = qvt::test::parseJson(line);
      DumpPacket packet;
      packet.frame = std::stoi(object.at("frame").text);
      if (const CJson* family = object.find("family")) packet.family = std::stoi(family->text);
      if (object.find("error")) packet.error = line;
      for (const CJson& option :
           object.find("options") ? object.at("options").items : std::vector<CJson>()) {
        DumpOption& entry = packet.options[option.at("path").text];
        entry.type = option.at("type").text;
        for (const CJson& value : option.at("values").items)
          entry.values.push_back(value.scalar());
        packet.order.push_back(option.at("path").text);
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

class BundledCapturesTest : public testing::TestWithParam<std::string> {};

TEST_P(BundledCapturesTest, DumpAgreesWithTshark) {
  ASSERT_TRUE(tsharkInstalled()) << "tshark is not installed; scripts/setup.sh installs it";
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

TEST(BundledCaptures, CoverTheCommonFields) {
  ASSERT_TRUE(tsharkInstalled()) << "tshark is not installed; scripts/setup.sh installs it";
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

TEST(BundledCaptures, HexPayloadDecodesAsItsFrame) {
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
