#include "class_a/standard/CMessageStore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CException.h"

namespace qvt {
namespace {

using qvt_test::errorText;
using qvt_test::errorWhere;

class CMessageStoreTest : public ::testing::Test {
 protected:
  // Each test process has a folder of its own: CTest runs the tests of
  // this suite in parallel processes.
  void SetUp() override {
    directory_ = std::filesystem::path(::testing::TempDir()) /
                 ("message_store_test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  void write(const std::string& content) {
    std::ofstream(directory_ + "/messages.txt", std::ios::binary) << content;
  }
  std::string directory_;
};

const char* const kFile =
    "# shift errors\n"
    "id=17\n"
    "description=shown when a shift count is negative\n"
    "   en_US=Cannot left shift by %1 bits.   \r\n"
    "\txx_XX=Links %1 nicht.\n"
    "yy_YY=Gauche %1.\n"
    "\n"
    "\n"
    "# a comment inside a record does not end it\n"
    "en_US=Negative shift is not supported.\n"
    "# here\n"
    "xx_XX=Negativ.\n"
    " \t \r\n"
    "id=3\n"
    "en_US=Last record without trailing blank line.\n"
    "xx_XX=Letzter.";

TEST_F(CMessageStoreTest, ReadsRecordsAndTranslates) {
  write(kFile);
  CMessageStore store;
  store.execute(directory_ + "/ ", " messages.txt");
  EXPECT_EQ(store.path(), directory_ + "/messages.txt");
  ASSERT_EQ(store.entries().size(), 3u);

  CMessage message("Cannot left shift by %1 bits.", -3);
  store.translate(message, "xx_XX");
  EXPECT_EQ(message.text(), "Links -3 nicht.");
  EXPECT_EQ(message.id(), 17);

  CMessage noId("Negative shift is not supported.");
  store.translate(noId, "zz_ZZ");  // no text for this locale: the template stays
  EXPECT_EQ(noId.text(), "Negative shift is not supported.");
  EXPECT_EQ(noId.id(), -1);

  CMessage unknown("Not in the file.");
  unknown.setId(5);
  store.translate(unknown, "xx_XX");
  EXPECT_EQ(unknown.text(), "Not in the file.");
  EXPECT_EQ(unknown.id(), -1);

  std::string bare = "Last record without trailing blank line.";
  store.translate(bare, "xx_XX");
  EXPECT_EQ(bare, "Letzter.");

  // An exception translates its description and its explicit reason.
  CException e;
  e.setDescription(CMessage("Cannot left shift by %1 bits.", -3));
  e.setReason(CMessage("Negative shift is not supported."));
  EXPECT_EQ(e.text(&store, "xx_XX"), "Links -3 nicht. (Negativ.)");
}

TEST_F(CMessageStoreTest, KeepsOnlyTheChosenLocales) {
  write(kFile);
  CMessageStore store;
  store.locales() = {"yy_YY"};
  store.execute(directory_, "messages.txt");
  CMessage message("Cannot left shift by %1 bits.", 1);
  store.translate(message, "xx_XX");
  EXPECT_EQ(message.text(), "Cannot left shift by 1 bits.");
  store.translate(message, "yy_YY");
  EXPECT_EQ(message.text(), "Gauche 1.");
}

TEST_F(CMessageStoreTest, RecordWithoutEnglishNamesItsLine) {
  write("en_US=First.\n\n# comment\nid=4\nxx_XX=Zweiter.\n\nen_US=Third.\n");
  CMessageStore store;
  EXPECT_EQ(errorWhere([&] { store.execute(directory_, "messages.txt"); }),
            "CMessageStore::_processRecord: Invalid record at line 6 in message locale file. "
            "(Missing key 'en_US'.)");
}

TEST_F(CMessageStoreTest, MissingFileRaisesWithSystemReason) {
  CMessageStore store;
  EXPECT_EQ(errorWhere([&] { store.execute(directory_, "absent.txt"); }),
            "CFileReader::execute: Cannot open file '" + directory_ +
                "/absent.txt'. (No such file or directory)");
  // A directory opens like a file but cannot be read.
  EXPECT_EQ(errorText([&] { store.execute(directory_, "/"); }),
            "Cannot read file '/'. (Is a directory)");
}

TEST(CFileReaderTest, JoinsDirectoryAndFileName) {
  const std::vector<std::vector<std::string>> rows = {
      {"/etc/qvt", "a.txt", "/etc/qvt/a.txt"},
      {"/etc/qvt/ \\", "  a.txt", "/etc/qvt/a.txt"},
      {"/etc/qvt", " /tmp/a.txt", "/tmp/a.txt"},
      {"/", "a.txt", "/a.txt"},
      {"", "a.txt", "a.txt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0] + " + " + row[1]);
    EXPECT_EQ(CFileReader::joinPath(row[0], row[1]), row[2]);
  }
}

}  // namespace
}  // namespace qvt
