#include "class_b/dhcp/dhcp_eval/CDHCP4Eval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ExchangeSupport.h"
#include "class_b/dhcp/dhcp_base/COptionAttributes.h"

namespace qvt::dhcp_eval_test {
namespace {

// relayAgent: option 82 with circuit id "port1", remote id 01-..-06, device
// class 9 and subscriber id "sub".
Bytes relayAgent() {
  return option4(82, cat({option4(1, text("port1")), option4(2, {1, 2, 3, 4, 5, 6}),
                          option4(4, {0, 0, 0, 9}), option4(6, text("sub"))}));
}

// discover: a relayed DOCSIS DISCOVER.
Bytes discover() {
  return message4(cat({option4(53, {1}), option4(12, text("host1")), option4(60, text("docsis3.0")),
                       option4(61, {1, 0, 0x11, 0x22, 0x33, 0x44, 0x55}), option4(77, text("uc1")),
                       option4(3, {10, 0, 0, 1, 10, 0, 0, 2}), option4(43, {2, 3, 'E', 'C', 'M'}),
                       relayAgent()}));
}

TEST(CDHCP4EvalTest, NamesAndPathsReadTheReceivedMessage) {
  CExchange exchange(4, decode4(discover()));
  // Option 82 holds sub-options, no element of its own.
  const std::string subencoded =
      "error: CValueTypeConverter::_throwSize: Cannot access element 0 in option 82. (Index out "
      "of range.)";
  expectRows(exchange,
             {
                 {"$BOOTP", "boolean: false"},
                 {"$HWADDR", "byte sequence: 00-11-22-33-44-55"},
                 {"$HTYPE", "integer: 1"},
                 {"$HLEN", "integer: 6"},
                 {"$HOPS", "integer: 2"},
                 {"$SECS", "integer: 7"},
                 {"$XID", "integer: 16909060"},
                 {"$COOKIE", "byte sequence: 63-82-53-63"},
                 {"$HOSTNAME", "string: host1"},
                 {"$BOOTFILE", "string: pxelinux.0"},
                 // A DOCSIS client's option 43 holds CableLabs' sub-options and
                 // no element of its own: read the sub-options by path.
                 {"$VENDORSPECIFIC",
                  "error: CValueTypeConverter::_throwSize: Cannot access element 0 in option 43. "
                  "(Index out of range.)"},
                 {"$INP('43/2')", "string: ECM"},
                 {"$CLASSID", "string: docsis3.0"},
                 {"$CLIENTID", "byte sequence: 01-00-11-22-33-44-55"},
                 {"$USERCLASS", "string: uc1"},
                 {"$RELAY.ADDRESS", "ip address: 10.0.0.1"},
                 {"$RELAY.CIRCUITID", "byte sequence: 70-6F-72-74-31"},
                 {"$RELAY.CID", "byte sequence: 70-6F-72-74-31"},
                 {"$RELAY.REMOTEID", "byte sequence: 01-02-03-04-05-06"},
                 {"$RELAY.RID", "byte sequence: 01-02-03-04-05-06"},
                 {"$RELAY.DEVICECLASS", "integer: 9"},
                 {"$RELAY.SID", "string: sub"},
                 {"$CM", "boolean: true"},
                 {"$MTA", "boolean: false"},
                 {"$IS_DISCOVER", "boolean: true"},
                 {"$DEVICE.VENDORID", "integer: 4491"},
                 {"$DEVICE.TYPEID", "string: 4491"},
                 {"$VENDOR.ID", "string: 4491"},
                 {"$DEVICE.DESCRIPTION", "string: CableLabs DOCSIS cable modem"},
                 {"$SERVER.IP", "ip address: 192.0.2.1"},
                 {"$DEVICE.ID", "byte sequence: "},
                 // Names ignore arguments they do not use.
                 {"$HWADDR(1, 2)", "byte sequence: 00-11-22-33-44-55"},
                 // A number and its text name the same path.
                 {"$INP(53)", "integer: 1"},
                 {"$INP('53')", "integer: 1"},
                 {"$INP(82)", subencoded},
                 {"$INP('82/1') == $RELAY.CIRCUITID", "boolean: true"},
                 {"$INP('0xffffffe2')", "byte sequence: 00-11-22-33-44-55"},
                 {"$INP(3)", "ip address: 10.0.0.1"},
                 {"$INP(3, 1)", "ip address: 10.0.0.2"},
                 {"$INP(3, 2)",
                  "error: CValueTypeConverter::_throwSize: Cannot access element 2 in option 3. "
                  "(Index out of range.)"},
                 // The index plays no part for an absent option.
                 {"$INP(51, 7)", "unknown: "},
                 {"$INP(3, 0, 'ignored')", "ip address: 10.0.0.1"},
                 {"$INP(3, 'x')",
                  "error: CVariant::_stringToInteger: Cannot convert variant value 'x' to type "
                  "'integer'. (Value is not an integer.)"},
                 {"$INP_HAS('82/2')", "byte sequence: 01-02-03-04-05-06"},
                 {"$DEVICE.VENDORID('MSFT 5.0')", "integer: 311"},
                 {"$DEVICE.DESCRIPTION('pktc1.0')",
                  "string: CableLabs PacketCable multimedia terminal adapter"},
                 {"$DEVICE.TYPEID('PXEClient:Arch:00000')", "string: 343"},
                 // No vendor, no failure.
                 {"$DEVICE.VENDORID('nobody')", "unknown: "},
             });
  exchange.node.setDeviceId(CHexStore("0a-0b"));
  EXPECT_EQ(exchange.run("$DEVICE.ID"), "byte sequence: 0A-0B");
}

TEST(CDHCP4EvalTest, AbsentOptionsAreUnknown) {
  CExchange exchange(4, decode4(message4(option4(53, {3}))));
  for (const char* name : {"$HOSTNAME", "$CLASSID", "$CLIENTID", "$RELAY.CIRCUITID",
                           "$RELAY.REMOTEID", "$RELAY.SID", "$VENDORSPECIFIC", "$USERCLASS",
                           "$DEVICE.VENDORID", "$DEVICE.TYPEID", "$DEVICE.DESCRIPTION"}) {
    EXPECT_EQ(exchange.run(name), "unknown: ") << name;
  }
  EXPECT_EQ(exchange.run("$DEVICE.VENDORID('docsis2.0')"), "integer: 4491");
}

TEST(CDHCP4EvalTest, BootpRequestWithoutMessageType) {
  CExchange bootp(4, decode4(message4(option4(12, text("host1")))));
  expectRows(bootp, {
                        {"$BOOTP", "boolean: true"},
                        {"$HWADDR", "byte sequence: 00-11-22-33-44-55"},
                        {"$HOSTNAME", "string: host1"},
                        {"$IS_DISCOVER",
                         "error: COption::get: Cannot find option 53. (Option does not exist.)"},
                    });
  // Without the magic cookie a packet is plain BOOTP: no options at all.
  Bytes payload = discover();
  payload[239] = 0;
  CExchange plain(4, decode4(payload));
  expectRows(plain, {
                        {"$BOOTP", "boolean: true"},
                        {"$CLASSID", "unknown: "},
                        {"$CM", "boolean: false"},
                        {"$HWADDR", "byte sequence: 00-11-22-33-44-55"},
                        {"$COOKIE", "byte sequence: 63-82-53-00"},
                    });
}

TEST(CDHCP4EvalTest, MessageTypeTests) {
  const std::vector<std::string> names = {"$IS_DISCOVER", "$IS_REQUEST", "$IS_DECLINE",
                                          "$IS_RELEASE",  "$IS_INFORM",  "$IS_LEASEQUERY"};
  const std::vector<std::pair<unsigned char, std::string>> types = {
      {1, "$IS_DISCOVER"}, {3, "$IS_REQUEST"},     {4, "$IS_DECLINE"}, {7, "$IS_RELEASE"},
      {8, "$IS_INFORM"},   {10, "$IS_LEASEQUERY"}, {5, "none"},
  };
  for (const auto& [type, which] : types) {
    CExchange exchange(4, decode4(message4(option4(53, {type}))));
    for (const std::string& name : names) {
      EXPECT_EQ(exchange.run(name), name == which ? "boolean: true" : "boolean: false")
          << name << " on type " << int(type);
    }
  }
  CExchange invalid(4, decode4(message4(option4(53, {0}))));
  EXPECT_EQ(invalid.run("$IS_DISCOVER"),
            "error: CDHCP4MsgType::_checkValidity: Cannot set dhcpv4 message type. (Invalid or "
            "unknown value '0'.)");
}

TEST(CDHCP4EvalTest, LongLivedEvaluatorFollowsTheNodeContext) {
  // One evaluator per worker: its compiled trees read whichever message the
  // node context holds at the time they run.
  CExchange worker(4, decode4(message4(cat({option4(53, {1}), option4(60, text("docsis3.0"))}))));
  const CGeneralPtr<CSyntaxTreeProxy> tree =
      worker.eval->compile("$IS_DISCOVER && $CM && $RELAY.ADDRESS == 10.0.0.1");
  const auto result = [&] {
    CVariant value;
    worker.eval->execute(value, tree);
    return describe(value);
  };
  EXPECT_EQ(result(), "boolean: true");
  worker.node.setIncoming(decode4(message4(cat({option4(53, {3}), option4(60, text("MSFT"))}))));
  worker.node.setPeerAddress(CIPAddress("10.0.0.9"));
  EXPECT_EQ(result(), "boolean: false");
  EXPECT_EQ(worker.run("$IS_REQUEST && !$CM"), "boolean: true");
  // Without a message the fields are unknown and the tests of the message
  // fail, as for a node context built without one.
  worker.node.setIncoming(CGeneralPtr<COption>());
  EXPECT_EQ(worker.run("$HWADDR"), "unknown: ");
  EXPECT_EQ(worker.run("$BOOTP"),
            "error: CGeneralPtr::operator->: Cannot dereference pointer. (Pointee is null.)");
}

TEST(CDHCP4EvalTest, VendorClassTests) {
  struct CClassRow {
    Bytes option60;
    const char* cm;
    const char* mta;
  };
  const std::vector<CClassRow> rows = {
      {option4(60, text("docsis")), "true", "false"},
      {option4(60, text("docsi")), "false", "false"},
      {option4(60, text("DOCSIS3.0")), "false", "false"},
      {option4(60, text(" docsis3.0")), "false", "false"},
      {option4(60, text("pktc")), "false", "true"},
      {option4(60, {}), "false", "false"},
      {{}, "false", "false"},
  };
  for (const CClassRow& row : rows) {
    CExchange exchange(4, decode4(message4(cat({option4(53, {1}), row.option60}))));
    const std::string vendorClass = exchange.run("$CLASSID");
    EXPECT_EQ(exchange.run("$CM"), std::string("boolean: ") + row.cm) << vendorClass;
    EXPECT_EQ(exchange.run("$MTA"), std::string("boolean: ") + row.mta) << vendorClass;
  }
}

TEST(CDHCP4EvalTest, ReadsTheReplyAsItStands) {
  CExchange exchange(4, decode4(discover()));
  // No reply yet: nothing exists at any path.
  EXPECT_EQ(exchange.run("$OUTP.YIADDR"), "unknown: ");
  exchange.reply.message = makeMessageRoot(4);
  EXPECT_EQ(exchange.run("$OUTP.YIADDR"), "unknown: ");
  COptionAttributes yiaddr;
  yiaddr.string("tagpath=0xffffffed\ntype=ipaddress\nname=yiaddr");
  CGeneralPtr<COption> offered = makeOption(yiaddr);
  offered->addValue(CVariant(CIPAddress("10.0.0.50")));
  exchange.reply.message->addChild(offered);
  expectRows(exchange, {
                           {"$OUTP.YIADDR", "ip address: 10.0.0.50"},
                           {"$OUTP('0xffffffed')", "ip address: 10.0.0.50"},
                           {"$OUTP(53)", "unknown: "},
                       });
}

TEST(CDHCP4EvalTest, WithoutNodeOutputContextOrVendorTables) {
  CExchange exchange(4, decode4(discover()));
  CGeneralPtr<CExpEval> noReply =
      CDHCPEvalFactory().instance(exchange.context, &exchange.node, nullptr);
  EXPECT_EQ(run(*noReply, "$OUTP.YIADDR"), "unknown: ");
  EXPECT_EQ(run(*noReply, "$OUTP('0xffffffed')"), "unknown: ");
  CGeneralPtr<CExpEval> noNode = CDHCPEvalFactory().instance(exchange.context, nullptr, nullptr);
  const std::string missing =
      "error: CGeneralPtr::operator->: Cannot dereference pointer. (Pointee is null.)";
  EXPECT_EQ(run(*noNode, "$HWADDR"), missing);
  EXPECT_EQ(run(*noNode, "$CM"), missing);
  EXPECT_EQ(run(*noNode, "$DEVICE.VENDORID"), "unknown: ");

  // A server without vendor tables.
  exchange.server.withVendors = false;
  EXPECT_EQ(exchange.run("$DEVICE.VENDORID"), "unknown: ");
  EXPECT_EQ(exchange.run("$CM"), "boolean: true");
}

}  // namespace
}  // namespace qvt::dhcp_eval_test
