#include "class_b/dhcp/dhcp_eval/CDHCP6Eval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExchangeSupport.h"

namespace qvt::dhcp_eval_test {
namespace {

const Bytes kClientId = option6(1, {0, 3, 0, 1, 0, 0x11, 0x22, 0x33, 0x44, 0x55});

// vendorClass: option 16 of enterprise with one class data item.
Bytes vendorClass(std::uint32_t enterprise, const std::string& data) {
  const Bytes number = {
      static_cast<unsigned char>(enterprise >> 24), static_cast<unsigned char>(enterprise >> 16),
      static_cast<unsigned char>(enterprise >> 8), static_cast<unsigned char>(enterprise)};
  if (data.empty()) return option6(16, number);
  return option6(16, cat({number, {0, static_cast<unsigned char>(data.size())}, text(data)}));
}

// solicit: a DOCSIS SOLICIT (enterprise 4491, class data "docsis3.0").
Bytes solicit() {
  return message6(1, cat({kClientId, vendorClass(4491, "docsis3.0"), option6(8, {0, 0})}));
}

TEST(CDHCP6EvalTest, NamesReadTheReceivedMessage) {
  CExchange exchange(6, decode6(solicit()));
  expectRows(exchange, {
                           {"$CLIENTID", "byte sequence: 00-03-00-01-00-11-22-33-44-55"},
                           {"$DEVICE.ID", "byte sequence: 00-03-00-01-00-11-22-33-44-55"},
                           {"$XID", "integer: 1193046"},
                           // Not relayed: no hop count.
                           {"$HOPS", "unknown: "},
                           {"$CLASSID", "string: docsis3.0"},
                           {"$CM", "boolean: true"},
                           {"$MTA", "boolean: false"},
                           {"$DEVICE.VENDORID", "integer: 4491"},
                           {"$DEVICE.TYPEID", "string: 4491"},
                           {"$DEVICE.DESCRIPTION", "string: CableLabs DOCSIS cable modem"},
                           {"$SERVER.IP", "ip address: 192.0.2.1"},
                           {"$INP('16/1')", "integer: 4491"},
                           {"$INP(8)", "integer: 0"},
                           {"$OUTP(1)", "unknown: "},
                           // The DHCPv4 names are not there.
                           {"$HWADDR",
                            "error: CExpEval::callback: Runtime error. (Unknown function "
                            "'HWADDR'.)"},
                       });
}

TEST(CDHCP6EvalTest, RelayedMessageReadsLikeTheClients) {
  const Bytes inner = relayForward(0, solicit(), option6(18, text("eth0")));
  CExchange exchange(6, decode6(relayForward(3, inner, option6(18, text("ge-0/0/1")))));
  expectRows(exchange, {
                           {"$HOPS", "integer: 3"},
                           {"$XID", "integer: 1193046"},
                           {"$CLIENTID", "byte sequence: 00-03-00-01-00-11-22-33-44-55"},
                           {"$CM", "boolean: true"},
                           {"$CLASSID", "string: docsis3.0"},
                           {"$INP('0xffffff06/18')", "byte sequence: 67-65-2D-30-2F-30-2F-31"},
                           {"$INP('0xffffff06/0xffffff06/18')", "byte sequence: 65-74-68-30"},
                       });
}

TEST(CDHCP6EvalTest, VendorClassOfOption16) {
  struct CVendorRow {
    Bytes options;
    std::vector<CRow> rows;
  };
  const std::vector<CVendorRow> table = {
      {vendorClass(4491, "pktc1.5"),
       {{"$CM", "boolean: false"},
        {"$MTA", "boolean: true"},
        {"$DEVICE.DESCRIPTION", "string: CableLabs PacketCable multimedia terminal adapter"}}},
      {vendorClass(4491, "DOCSIS3.0"),
       {{"$CM", "boolean: false"}, {"$DEVICE.TYPEID", "unknown: "}}},
      // No vendor with this number: $DEVICE.VENDORID still gives the number.
      {vendorClass(9999, "docsis3.0"),
       {{"$CM", "boolean: true"},
        {"$DEVICE.VENDORID", "integer: 9999"},
        {"$DEVICE.TYPEID", "unknown: "},
        {"$DEVICE.DESCRIPTION", "unknown: "}}},
      // No class data: 16/2 has no element, the class text is empty.
      {vendorClass(311, ""),
       {{"$CM", "boolean: false"},
        {"$CLASSID",
         "error: CValueTypeConverter::_throwSize: Cannot access element 0 in option 16/2. (Index "
         "out of range.)"},
        {"$DEVICE.VENDORID", "integer: 311"},
        {"$DEVICE.TYPEID", "unknown: "}}},
      {{},
       {{"$CM", "boolean: false"},
        {"$DEVICE.VENDORID", "unknown: "},
        {"$DEVICE.TYPEID", "unknown: "},
        {"$DEVICE.DESCRIPTION", "unknown: "},
        // Arguments name the vendor instead: a class text, or a number and
        // an optional class text.
        {"$DEVICE.VENDORID('MSFT 5.0')", "integer: 311"},
        {"$DEVICE.DESCRIPTION(311, 'MSFT 5.0')", "string: Microsoft Windows client"},
        {"$DEVICE.TYPEID(4491, 'docsis3.1')", "string: 4491"},
        {"$DEVICE.TYPEID(311)", "unknown: "},
        {"$DEVICE.TYPEID('x')", "unknown: "}}},
  };
  for (const CVendorRow& entry : table) {
    CExchange exchange(6, decode6(message6(1, cat({kClientId, entry.options}))));
    SCOPED_TRACE(exchange.run("$INP(16)"));
    expectRows(exchange, entry.rows);
  }
}

}  // namespace
}  // namespace qvt::dhcp_eval_test
