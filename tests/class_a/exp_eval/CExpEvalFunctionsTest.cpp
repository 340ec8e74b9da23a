// Built-in functions beyond the expression tables: the function table with
// its argument counts, $VALUE files, the cipher block layout, output of
// $PRINT and $LOG, and the clock functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "class_a/security/CBlowfish.h"
#include "class_a/standard/DataFile.h"

namespace qvt::test {
namespace {

using CExpEvalFunctionTable = CEngineTest;
using CExpEvalValue = CEngineTest;
using CExpEvalCipher = CEngineTest;
using CExpEvalOutput = CEngineTest;
using CExpEvalClock = CEngineTest;
using CExpEvalFiles = CEngineTest;

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

struct CCountRow {
  std::string name;      // as registered
  std::string reported;  // as named in errors
  std::size_t least = 0;
  std::size_t most = 0;  // kAny: no upper limit
};

void PrintTo(const CCountRow& row, std::ostream* out) {
  *out << row.name;
}

// builtins: the built-in function table in registration order, from
// data/functions.txt.
std::vector<CCountRow> builtins() {
  std::vector<CCountRow> rows;
  for (const auto& data : qvt_test::dataLines("class_a/exp_eval/data/functions.txt")) {
    std::istringstream fields(data.text);
    CCountRow row;
    std::string most;
    fields >> row.name >> row.reported >> row.least >> most;
    row.most = most == "any" ? kAny : std::stoul(most);
    rows.push_back(row);
  }
  return rows;
}

std::string callWith(const std::string& name, std::size_t count) {
  std::string text = "$" + name + "(";
  for (std::size_t i = 0; i < count; ++i)
    text += i == 0 ? "1" : ", 1";
  return text + ")";
}

class CArgumentCounts : public CEngineParamTest<CCountRow> {};

TEST_P(CArgumentCounts, AreChecked) {
  const CCountRow& row = GetParam();
  EXPECT_TRUE(engine.hasFunction(row.name));
  const std::string prefix = "error: Failed to execute function $" + std::string(row.reported);
  if (row.least > 0) {
    EXPECT_EQ(prefix + "(). (Not enough arguments.)",
              run(engine, callWith(row.name, row.least - 1)));
  }
  if (row.most != kAny) {
    EXPECT_EQ(prefix + "(). (Too many arguments.)", run(engine, callWith(row.name, row.most + 1)));
  }
}
INSTANTIATE_TEST_SUITE_P(Builtins, CArgumentCounts, ::testing::ValuesIn(builtins()));

TEST_F(CExpEvalFunctionTable, HoldsTheBuiltinsAndLaterRegistrations) {
  std::vector<std::string> expected;
  for (const CCountRow& row : builtins())
    expected.push_back(row.name);
  ASSERT_EQ(expected.size(), 46u) << "data/functions.txt could not be read whole";
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, engine.functionNames());

  // A registration replaces the one before; names are case-sensitive.
  engine.registerFunction("LEN", [](CExpEval&, CMultiVariant& results, CMultiVariant&) {
    results.append(CVariant::fromString("mine"));
  });
  EXPECT_EQ("string: mine", run(engine, "$LEN('abc')"));
  EXPECT_EQ("error: Runtime error. (Unknown function 'Len'.)", run(engine, "$Len('abc')"));
  EXPECT_EQ(expected.size(), engine.functionNames().size());
  // Another engine still has the built-in one.
  CExpEval other(&host);
  EXPECT_EQ("integer: 3", run(other, "$LEN('abc')"));
}

TEST_F(CExpEvalFunctionTable, ACompiledCallSeesLaterRegistrations) {
  const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile("$LEN('abc') + $LATER()");
  CVariant result;
  EXPECT_THROW(engine.execute(result, tree), CException);
  engine.registerFunction("LATER", [](CExpEval&, CMultiVariant& results, CMultiVariant&) {
    results.append(CVariant(std::int64_t{10}));
  });
  engine.execute(result, tree);
  EXPECT_EQ("integer: 13", describe(result));
  engine.registerFunction("LEN", [](CExpEval&, CMultiVariant& results, CMultiVariant&) {
    results.append(CVariant(std::int64_t{0}));
  });
  engine.execute(result, tree);
  EXPECT_EQ("integer: 10", describe(result));
}

// The rows of data/value-files.txt.
TEST_F(CExpEvalValue, LooksUpKeys) {
  const auto rows = qvt_test::dataLines("class_a/exp_eval/data/value-files.txt");
  ASSERT_EQ(rows.size(), 18u) << "data/value-files.txt could not be read whole";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string input = row.input();
    const std::size_t bar = input.find('|');
    const CValueFile file(input.substr(bar + 1));
    EXPECT_EQ(row.expected(),
              run(engine, "$VALUE('" + file.path() + "', '" + input.substr(0, bar) + "')"));
  }
}

TEST_F(CExpEvalValue, MissingFileNamesTheFile) {
  EXPECT_EQ(
      "error: Failed to open file '/nonexistent/values.txt' when executing function $VALUE(). "
      "(No such file or directory)",
      run(engine, "$VALUE('/nonexistent/values.txt', 'k')"));
}

// cipherOf: a byte sequence variant of a function's result.
CHexStore bytesOf(CExpEval& engine, const std::string& text) {
  CVariant result;
  engine.execute(result, engine.compile(text));
  return result.hexstore();
}

TEST_F(CExpEvalCipher, BlockLayout) {
  engine.initCipher();
  struct {
    std::size_t data;
    std::size_t block;
  } sizes[] = {{0, 8},   {7, 8},   {8, 16},    {14, 16},  {15, 24},
               {16, 24}, {23, 32}, {254, 256}, {255, 264}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size.data);
    const std::string data(size.data, 'x');
    const std::string text = size.data == 0 ? "$ENCRYPT(\"\")" : "$ENCRYPT('" + data + "')";
    const CHexStore encrypted = bytesOf(engine, text);
    ASSERT_EQ(size.block, encrypted.size());
    // Deciphered by hand: length byte, data, zero padding.
    CHexStore plain = encrypted;
    engine.cipher().decipher(plain.data(), plain.size(), CBlowfish::kModeCBC);
    EXPECT_EQ(size.data, plain[0]);
    for (std::size_t i = 0; i < size.data; ++i)
      ASSERT_EQ('x', plain[1 + i]);
    for (std::size_t i = 1 + size.data; i < plain.size(); ++i)
      ASSERT_EQ(0, plain[i]);
    if (size.data > 0) {
      EXPECT_EQ(data, run(engine, "$TEXT($DECRYPT(" + text + "))").substr(8));
    }
  }
}

TEST_F(CExpEvalCipher, RefusesWhatTheBlockCannotCarry) {
  engine.initCipher();
  EXPECT_EQ(
      "error: Failed to execute function $ENCRYPT(). (Data of 256 bytes is longer than the 255 "
      "bytes a block can carry.)",
      run(engine, "$ENCRYPT('" + std::string(200, 'a') + "', '" + std::string(56, 'b') + "')"));
  EXPECT_EQ(
      // Numbers contribute their 8 bytes.
      "error: Failed to execute function $ENCRYPT(). (Data of 266 bytes is longer than the 255 "
      "bytes a block can carry.)",
      run(engine, "$ENCRYPT(1, '" + std::string(250, 'a') + "', 2)"));
}

TEST_F(CExpEvalCipher, LengthByteBeyondTheDataFails) {
  engine.initCipher();
  // A block whose first byte claims 200 data bytes in a 16-byte block.
  unsigned char block[16] = {200, 'a', 'b'};
  engine.cipher().encipher(block, sizeof block, CBlowfish::kModeCBC);
  const std::string literal = CHexStore(block, sizeof block).string();
  EXPECT_EQ("error: Failed to execute function $DECRYPT(). (Argument '" + literal +
                "' must be exactly eight (8) bytes long.)",
            run(engine, "$DECRYPT('" + literal + "')"));
  // With a length byte of 15 the whole rest of the block is data.
  unsigned char full[16] = {15, 'a', 'b'};
  engine.cipher().encipher(full, sizeof full, CBlowfish::kModeCBC);
  EXPECT_EQ("byte sequence: 61-62-00-00-00-00-00-00-00-00-00-00-00-00-00",
            run(engine, "$DECRYPT('" + CHexStore(full, sizeof full).string() + "')"));
}

TEST_F(CExpEvalCipher, NeedsAKey) {
  CExpEval withoutHost(nullptr);
  EXPECT_EQ("error: Failed to execute function $ENCRYPT(). (The cipher has not been keyed.)",
            run(withoutHost, "$ENCRYPT('a')"));
  EXPECT_EQ("error: Failed to execute function $SDECRYPT(). (The cipher has not been keyed.)",
            run(withoutHost, "$SDECRYPT('a')"));
  EXPECT_EQ("Cannot initialize cipher. (No host context supplies a shared server key.)",
            qvt_test::errorText([&] { withoutHost.initCipher(); }));
  // Different keys give different blocks.
  CTestHost other;
  other.key = {'o', 't', 'h', 'e', 'r'};
  CExpEval b(&other);
  engine.initCipher();
  b.initCipher();
  EXPECT_NE(run(engine, "$ENCRYPT('abc')"), run(b, "$ENCRYPT('abc')"));
  EXPECT_EQ(run(engine, "$SENCRYPT('abc')"), run(engine, "$SENCRYPT('abc')"));
}

TEST_F(CExpEvalOutput, PrintWritesEachArgument) {
  ::testing::internal::CaptureStderr();
  const std::string result = run(engine, "$PRINT('a', 5)");
  EXPECT_EQ("arg_num=1\ntype=string\nvalue=a\narg_num=2\ntype=uinteger\nvalue=5\n\n",
            ::testing::internal::GetCapturedStderr());
  EXPECT_EQ("string: a", result);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ("unknown: ", run(engine, "$PRINT()"));
  EXPECT_EQ("\n", ::testing::internal::GetCapturedStderr());
}

TEST_F(CExpEvalOutput, LogGoesToTheHostLogger) {
  EXPECT_EQ("uinteger: 1", run(engine, "$LOG(1, 'b', 10.0.0.1)"));
  ASSERT_EQ(1u, host.logger_.entries.size());
  EXPECT_EQ("1b10.0.0.1", host.logger_.entries[0].message);
  EXPECT_EQ("exp_eval", host.logger_.entries[0].module);
  EXPECT_EQ(16u, host.logger_.entries[0].level);
  CExpEval withoutHost(nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ("string: x", run(withoutHost, "$LOG('x', 'y')"));
  EXPECT_EQ("xy\n", ::testing::internal::GetCapturedStderr());
}

std::string localNow(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[100];
  return std::string(buffer, std::strftime(buffer, sizeof buffer, format, &local));
}

TEST_F(CExpEvalClock, LocalDateAndTime) {
  struct {
    const char* expression;
    const char* format;
    bool integer;
  } rows[] = {
      {"$DATE('integer')", "%Y%m%d", true}, {"$DATE('STRING')", "%x", false},
      {"$DAY('Integer')", "%d", true},      {"$DAY()", "%A", false},
      {"$MONTH('integer')", "%m", true},    {"$MONTH(\"%b\")", "%b", false},
      {"$YEAR('integer')", "%Y", true},     {"$TIME('integer')", "%H%M", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expression);
    const std::string before = localNow(row.format);
    const std::string value = run(engine, row.expression);
    const std::string after = localNow(row.format);
    const auto expected = [&](const std::string& text) {
      return row.integer ? "integer: " + std::to_string(std::strtoll(text.c_str(), nullptr, 10))
                         : "string: " + text;
    };
    EXPECT_TRUE(value == expected(before) || value == expected(after)) << value;
  }
  EXPECT_EQ(
      "error: Failed to execute function $DATE(). (The formatted time is longer than 99 bytes.)",
      run(engine, "$DATE(\"" + std::string(100, 'x') + "\")"));
  EXPECT_EQ("string: " + std::string(99, 'x'),
            run(engine, "$DATE(\"" + std::string(99, 'x') + "\")"));
}

TEST_F(CExpEvalClock, UtcTime) {
  CVariant now;
  const std::int64_t before = std::time(nullptr);
  engine.execute(now, engine.compile("$TIME.UTC()"));
  ASSERT_EQ(CVariantType::kTime, now.type().code());
  EXPECT_GE(now.time().seconds(), before);
  EXPECT_LE(now.time().seconds(), std::time(nullptr));
  EXPECT_EQ("string: Thu Jan  1 00:01:00 1970",
            run(engine, "$TIME.FORMAT.UTC(60, \"%a %b %e %H:%M:%S %Y\")"));
  EXPECT_EQ("error: Cannot format time string. (Invalid format specifier.)",
            run(engine, "$TIME.FORMAT.UTC(60, \"\")"));
}

TEST_F(CExpEvalFiles, FileExists) {
  CValueFile file("x");
  EXPECT_EQ("boolean: true", run(engine, "$FILE.EXISTS('" + file.path() + "')"));
  EXPECT_EQ("boolean: true", run(engine, "$FILE.EXISTS(' " + file.path() + " ')"));
  EXPECT_EQ("boolean: false", run(engine, "$FILE.EXISTS('" + file.path() + ".none')"));
}

TEST_F(CExpEvalFiles, SleepWaits) {
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  EXPECT_EQ("boolean: true", run(engine, "$USLEEP(20000)"));
  timespec end{};
  clock_gettime(CLOCK_MONOTONIC, &end);
  const long elapsed = (end.tv_sec - start.tv_sec) * 1000000 + (end.tv_nsec - start.tv_nsec) / 1000;
  EXPECT_GE(elapsed, 20000);
  EXPECT_EQ("boolean: true", run(engine, "$USLEEP(-5)"));
}

}  // namespace
}  // namespace qvt::test
