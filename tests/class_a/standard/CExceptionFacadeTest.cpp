#include "class_a/standard/CExceptionFacade.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/Fail.h"

namespace qvt {
namespace {

struct LogLine {
  std::string message;
  std::string module;
  std::uint32_t level;
};

class RecordingLogger : public CILogger {
 public:
  void log(const std::string& message, const std::string& module, std::uint32_t level) override {
    lines.push_back({message, module, level});
  }
  std::vector<LogLine> lines;
};

CExceptionPtr entry(const std::string& description, const std::string& reason,
                    std::uint32_t severity = kSeverityError) {
  return CExceptionPtr(
      new CException(makeException(CRaiser::none(), "dhcp_eval", "X::y", description, reason, 0,
                                   severity, CSourceLocation::current())));
}

TEST(CExceptionFacadeTest, TwentySixthPushLogsAndEmptiesTheStack) {
  RecordingLogger logger;
  CExceptionFacade stack(&logger);
  for (int i = 1; i <= 25; ++i)
    stack.push(entry("Entry %1.", "", kSeverityWarning));
  EXPECT_EQ(stack.size(), 25u);
  EXPECT_TRUE(logger.lines.empty());

  stack.push(entry("Last.", "Why.", kSeverityInfo));
  EXPECT_EQ(stack.size(), 0u);
  ASSERT_EQ(logger.lines.size(), 27u);
  EXPECT_EQ(logger.lines[0].message,
            "The exception stack is exhausted. The next 26 message(s) are from the exception "
            "stack.");
  EXPECT_EQ(logger.lines[0].module, "extended");
  EXPECT_EQ(logger.lines[0].level, kSeverityError);
  // Entries follow, most recent first, each with its own module and severity.
  EXPECT_EQ(logger.lines[1].message, "Last. (Why.)");
  EXPECT_EQ(logger.lines[1].module, "dhcp_eval");
  EXPECT_EQ(logger.lines[1].level, kSeverityInfo);
  EXPECT_EQ(logger.lines[26].level, kSeverityWarning);
}

TEST(CExceptionFacadeTest, ReadsInnerOuterAndTexts) {
  CExceptionFacade stack(nullptr);
  EXPECT_EQ(stack.combinedText("en_US"), "<No data>");
  EXPECT_EQ(stack.text("en_US"), "");
  stack.push(entry("Cannot read option %1.", "Out of bounds.", kSeverityWarning));
  stack.push(CExceptionPtr());  // ignored
  stack.push(entry("Cannot execute expression.", "Failed.", kSeverityError));
  ASSERT_EQ(stack.size(), 2u);
  EXPECT_EQ(stack.inner()->text(), "Cannot execute expression. (Failed.)");
  EXPECT_EQ(stack.outer()->text(), "Cannot read option %1. (Out of bounds.)");
  EXPECT_EQ(stack.severity(), kSeverityWarning);
  EXPECT_EQ(stack.text("en_US"),
            "Cannot execute expression. (Failed.) / Cannot read option %1. (Out of bounds.)");
  EXPECT_EQ(stack.combinedText("en_US"), "Cannot execute expression. (Out of bounds.)");
  const CExceptionPtr kept = stack.inner();
  stack.flush();  // no logger: the entries are dropped
  EXPECT_EQ(stack.size(), 0u);
  EXPECT_EQ(kept.useCount(), 1u);
}

TEST(CExceptionFacadeTest, EmptyStackRaises) {
  CExceptionFacade stack(nullptr);
  const std::vector<std::pair<std::function<void()>, std::string>> rows = {
      {[&] { stack.severity(); }, "Cannot compute exception severity."},
      {[&] { stack.inner(); }, "Cannot retrieve inner exception."},
      {[&] { stack.outer(); }, "Cannot retrieve outer exception."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.second);
    const auto e = qvt_test::caught(row.first);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), row.second + " (Exception stack is empty.)");
    EXPECT_EQ(e->module(), "extended");
    EXPECT_EQ(e->className(), "CExceptionFacade");
  }
}

}  // namespace
}  // namespace qvt
