#include "class_a/standard/CException.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CExceptionFacade.h"
#include "class_a/standard/Fail.h"

namespace qvt {
namespace {

template <class F>
CException raised(F&& action) {
  return qvt_test::caught(action).value_or(CException());
}

TEST(CExceptionTest, TextJoinsDescriptionAndReason) {
  CException plain;
  plain.setDescription(CMessage("Nothing failed."));
  EXPECT_EQ(plain.text(), "Nothing failed.");

  CException e = raised([] {
    fail(CRaiser::none(), "standard", "CBitShift::left", {"Cannot left shift by %1 bits.", -3},
         "Negative shift is not supported.");
  });
  EXPECT_EQ(e.text(), "Cannot left shift by -3 bits. (Negative shift is not supported.)");
  EXPECT_EQ(e.operation(), "CBitShift::left");
  EXPECT_EQ(e.className(), "static");
  EXPECT_EQ(e.errorCode(), 0u);
  EXPECT_EQ(e.location(), "static, " + e.file() + ", " + std::to_string(e.line()));
  EXPECT_NE(e.line(), 0u);
}

TEST(CExceptionTest, ErrorCodeSuppliesTheReasonOnlyWithoutOne) {
  CException system = raised([] {
    failSystem(CRaiser::none(), "standard", "CFileReader::execute", "Cannot open file 'x'.", 5);
  });
  EXPECT_EQ(system.text(), "Cannot open file 'x'. (Input/output error)");
  EXPECT_EQ(system.reason().templateText(), "Input/output error");

  CException both = system;
  both.setReason(CMessage("Disk gone."));
  EXPECT_EQ(both.text(), "Cannot open file 'x'. (Disk gone.)");

  CException unknown;
  unknown.setDescription(CMessage("Failed."));
  unknown.setErrorCode(999999);
  EXPECT_EQ(unknown.text(), "Failed. (Unknown error code 999999)");
}

TEST(CExceptionTest, SeverityMaskParsing) {
  struct Row {
    std::string text;
    std::uint32_t mask;
    std::string error;  // the whole error text when parsing fails
  };
  const std::string invalid = "Cannot parse severity mask ";
  const std::vector<Row> rows = {
      {"error, warning", 6, ""},
      {"*", 0xFFFFFFFFu, ""},
      {"info,all", 0xFFFFFFFFu, ""},
      {"", 0, ""},
      {"error,", 4, ""},
      {"  debug ,audit,verbose,info", 57, ""},
      {"Error", 0, invalid + "'Error'. (Invalid value.)"},
      {"error,,warning", 0, invalid + "''. (Invalid value.)"},
      {"error,\twarning", 0, invalid + "'\twarning'. (Invalid value.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("'" + row.text + "'");
    if (row.error.empty()) {
      EXPECT_EQ(CException::severityMask(row.text), row.mask);
    } else {
      EXPECT_EQ(qvt_test::errorWhere([&] { CException::severityMask(row.text); }),
                "CException::severityMask: " + row.error);
    }
  }
  EXPECT_EQ(CException::severityMaskText(6), "error,warning");
  EXPECT_EQ(CException::severityMaskText(0xFFFFFFFFu), "error,warning,info,audit,debug,verbose");
  EXPECT_EQ(CException::severityMaskText(0), "");
}

class CountingLogger : public CILogger {
 public:
  void log(const std::string& message, const std::string&, std::uint32_t) override {
    messages.push_back(message);
  }
  std::vector<std::string> messages;
};

TEST(CExceptionTest, ReportPushesOneCloneOnce) {
  CountingLogger logger;
  CExceptionFacade stack(&logger);
  CException e = raised([] { fail(CRaiser::none(), "standard", "X::y", "Failed.", "Why."); });

  e.report(nullptr);
  EXPECT_FALSE(e.reported());
  e.report(&stack);
  e.report(&stack);
  EXPECT_TRUE(e.reported());
  ASSERT_EQ(stack.size(), 1u);
  EXPECT_NE(stack.inner().get(), &e);
  EXPECT_EQ(stack.inner()->text(), "Failed. (Why.)");

  CException copy(e);
  EXPECT_FALSE(copy.reported());
  copy.report(&stack);
  EXPECT_EQ(stack.size(), 2u);

  CException assigned;
  assigned = e;  // assignment keeps the target's own flag
  EXPECT_FALSE(assigned.reported());
}

TEST(CExceptionTest, NumberConversionCloneIsPlainException) {
  try {
    failNumber(CRaiser::none(), "standard", "CNumberConversion::toInt", "Bad.", "Why.");
    ADD_FAILURE() << "no exception";
  } catch (const CNumberConversionException& e) {
    const std::unique_ptr<CException> clone(e.clone());
    const CException& cloned = *clone;
    EXPECT_EQ(typeid(cloned), typeid(CException));
    EXPECT_EQ(clone->text(), "Bad. (Why.)");
  }
}

}  // namespace
}  // namespace qvt
