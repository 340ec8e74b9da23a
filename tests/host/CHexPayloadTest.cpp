#include "host/CHexPayload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt::host {
namespace {

using Bytes = std::vector<unsigned char>;
using qvt_test::errorText;

TEST(CHexPayloadTest, ReadsBytes) {
  const std::vector<std::pair<std::string, Bytes>> rows = {
      {"0a1B", {0x0A, 0x1B}},
      {"0a 1b\t2c\r\n3d", {0x0A, 0x1B, 0x2C, 0x3D}},
      {"0a:1b-2c", {0x0A, 0x1B, 0x2C}},
      {"# header\n01 02 # op htype\n  # indented comment 0g\n03", {1, 2, 3}},
      {"ff::--00", {0xFF, 0x00}},
  };
  for (const auto& [text, bytes] : rows) {
    SCOPED_TRACE(text);
    EXPECT_EQ(CHexPayload::parse(text, "t"), bytes);
  }
}

TEST(CHexPayloadTest, RefusesBadText) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"0a 1", "The group at line 1, column 4 has an odd number of hexadecimal digits."},
      {"0a\n1b2 # x", "The group at line 2, column 1 has an odd number of hexadecimal digits."},
      {"a:b", "The group at line 1, column 1 has an odd number of hexadecimal digits."},
      {"0a\n 0x10", "Invalid character 'x' at line 2, column 3."},
      {"01\x8F", "Invalid byte 0x8F at line 1, column 3."},
      {std::string("01\0", 3), "Invalid byte 0x00 at line 1, column 3."},
      {"", "The text holds no bytes."},
      {"# only a comment\n", "The text holds no bytes."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    EXPECT_EQ(errorText([&] { CHexPayload::parse(row.first, "p.hex"); }),
              "Cannot read hex payload 'p.hex'. (" + row.second + ")");
  }
}

TEST(CHexPayloadTest, RefusesUnreadableFiles) {
  EXPECT_EQ(errorText([] { CHexPayload::readFile("/nonexistent/p.hex"); }),
            "Cannot open file '/nonexistent/p.hex'. (No such file or directory)");
  EXPECT_EQ(errorText([] { CHexPayload::readFile("/"); }),
            "Cannot open file '/'. (Is a directory)");
}

TEST(CHexPayloadTest, GuessesFamily) {
  Bytes v4(240, 0);
  v4[236] = 0x63, v4[237] = 0x82, v4[238] = 0x53, v4[239] = 0x63;
  EXPECT_EQ(CHexPayload::guessFamily(v4), 4);
  Bytes badCookie = v4;
  badCookie[239] = 0x64;
  EXPECT_EQ(CHexPayload::guessFamily(badCookie), 6);
  EXPECT_EQ(CHexPayload::guessFamily(Bytes(v4.begin(), v4.begin() + 239)), 6);
  EXPECT_EQ(CHexPayload::guessFamily({1, 0, 0, 1}), 6);
}

}  // namespace
}  // namespace qvt::host
