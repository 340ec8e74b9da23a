#include "class_a/security/CMD5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

using qvt::CHexStore;
using qvt::CMD5;
using qvt_test::bytesOf;
using qvt_test::toHex;

std::string md5Hex(const std::string& message) {
  CMD5 md5;
  const auto bytes = bytesOf(message);
  md5.update(bytes.data(), bytes.size());
  const CHexStore digest = md5.final();
  return toHex(digest.data(), digest.size());
}

// The RFC 1321 test suite, then runs of "a" around the padding boundaries: 55
// bytes leave room for the length in one block, 56 and 63 need a second
// block, 64 fills a block exactly.
TEST(CMD5Test, PublishedVectorsAndPaddingBoundaries) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
      {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
      {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
      {std::string(57, 'a'), "652B906D60AF96844EBD21B674F35E93"},
      {std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
      {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
      {std::string(65, 'a'), "C743A45E0D2E6A95CB859ADAE0248435"},
      {std::string(119, 'a'), "8A7BD0732ED6A28CE75F6DABC90E1613"},
      {std::string(120, 'a'), "5F61C0CCAD4CAC44C75FF505E1F1E537"},
      {std::string(128, 'a'), "E510683B3F5FFE4093D021808BC6FF70"},
  };
  for (const auto& [message, digest] : rows) {
    SCOPED_TRACE(std::to_string(message.size()) + " bytes: " + message.substr(0, 20));
    EXPECT_EQ(md5Hex(message), digest);
  }
}

TEST(CMD5Test, ObjectHashesANewMessageAfterFinal) {
  CMD5 md5;
  const auto first = bytesOf("message digest");
  md5.update(first.data(), first.size());
  md5.final();

  const auto second = bytesOf("abc");
  md5.update(second.data(), second.size());
  EXPECT_EQ(md5.final().string(), "90-01-50-98-3C-D2-4F-B0-D6-96-3F-7D-28-E1-7F-72");
  // Nothing fed after a final: the digest of the empty message.
  EXPECT_EQ(md5.final().string(), "D4-1D-8C-D9-8F-00-B2-04-E9-80-09-98-EC-F8-42-7E");
}

}  // namespace
