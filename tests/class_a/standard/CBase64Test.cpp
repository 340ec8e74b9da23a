#include "class_a/standard/CBase64.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

CHexStore bytesOf(const std::string& text) {
  return CHexStore(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(CBase64Test, Rfc4648VectorsRoundTrip) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\x00", 3), "//4A"},
  };
  for (const auto& [plain, encoded] : rows) {
    SCOPED_TRACE(encoded);
    EXPECT_EQ(CBase64::encode(bytesOf(plain)), encoded);
    EXPECT_EQ(CBase64::decode(encoded), bytesOf(plain));
  }
}

TEST(CBase64Test, RefusesMalformedText) {
  const std::string invalid = "Error decoding base 64. (Invalid data.)";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"YWI", "Cannot decode input 'YWI' from base 64. (Invalid length.)"},
      {"YW*j", invalid},
      {"YW j", invalid},
      {"=WJj", invalid},
      {"YW=j", invalid},
      {"YWI=YWJj", invalid},
      {"Y===", invalid},
      {"====", invalid},
      {std::string("YW\xc3\xa9"), invalid},
  };
  for (const auto& [text, expected] : rows) {
    SCOPED_TRACE(text);
    EXPECT_EQ(qvt_test::errorWhere([&text = text] { CBase64::decode(text); }),
              "CBase64::decode: " + expected);
  }
}

}  // namespace
}  // namespace qvt
