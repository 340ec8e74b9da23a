#include "class_b/dhcp/dhcp_eval/CNodeContext.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

TEST(CNodeContextTest, TextFormHoldsWhatTheEvaluatorsRead) {
  CNodeContext node(nullptr, qvt::CGeneralPtr<qvt::COption>(), {"eth0"},
                    qvt::CIPAddress("192.0.2.1"), qvt::CIPAddress());
  node.setDeviceId(qvt::CHexStore("01-02-03"));
  node.provisioned().setAccountName("acme");
  EXPECT_EQ(node.string(), "account_name=acme\ndevice_id=01-02-03\nserver_address=192.0.2.1\n");

  node.string("server_address=2001:db8::1\naccount_name=other");
  EXPECT_EQ(node.string(), "account_name=other\ndevice_id=01-02-03\nserver_address=2001:db8::1\n");
  // An address of no type is written, and read, as empty text.
  node.string("server_address=\ndevice_id=");
  EXPECT_EQ(node.string(), "account_name=other\ndevice_id=\nserver_address=\n");

  // A bad value changes nothing.
  node.string("server_address=10.0.0.1\ndevice_id=0a");
  EXPECT_EQ(qvt_test::errorText([&] { node.string("server_address=10.0.0.300\ndevice_id=0b"); }),
            "Cannot create an ip address. (Text '10.0.0.300' is not a valid IP address.)");
  EXPECT_EQ(node.string(), "account_name=other\ndevice_id=0A\nserver_address=10.0.0.1\n");
}

}  // namespace
