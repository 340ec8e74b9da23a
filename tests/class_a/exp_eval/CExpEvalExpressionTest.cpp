// Expressions and their values: each row is an expression and either
// "type: text" of its value or "error: " and the whole error text.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "EngineTestSupport.h"

namespace qvt::test {
namespace {

struct CRow {
  const char* expression;
  const char* expected;
};

void PrintTo(const CRow& row, std::ostream* out) {
  *out << "\"" << row.expression << "\"";
}

int gSideEffects = 0;

// F: counts its calls; yields integer 99.
void sideEffect(CExpEval&, CMultiVariant& results, CMultiVariant&) {
  ++gSideEffects;
  results.append(CVariant(std::int64_t{99}));
}

// ARGS: its arguments' texts in the order it reads them, joined by ",".
void argumentList(CExpEval&, CMultiVariant& results, CMultiVariant& arguments) {
  std::string joined;
  for (; !arguments.empty(); arguments.advance()) {
    if (!joined.empty()) joined += ",";
    joined += arguments.current().string();
  }
  results.append(CVariant::fromString(joined));
}

// NOTHING: appends no result.
void nothing(CExpEval&, CMultiVariant&, CMultiVariant&) {}

class CExpressionTable : public ::testing::TestWithParam<CRow> {
 protected:
  CExpressionTable() : engine_(&host_) {
    engine_.initCipher();
    engine_.registerFunction("F", &sideEffect);
    engine_.registerFunction("ARGS", &argumentList);
    engine_.registerFunction("NOTHING", &nothing);
  }
  CTestHost host_;
  CExpEval engine_;
};

TEST_P(CExpressionTable, Evaluates) {
  EXPECT_EQ(GetParam().expected, run(engine_, GetParam().expression));
}

const CRow kGrouping[] = {
    {"1 + 2 * 3", "uinteger: 7"},
    // Equal codes group to the right; "+" and "-" (and "*" and "/") differ.
    {"10 - 4 + 3", "uinteger: 3"},
    {"10 - 5 - 3", "uinteger: 8"},
    {"10 + 5 - 3", "uinteger: 12"},
    {"8 / 4 / 2", "uinteger: 4"},
    {"24 / 2 * 3", "uinteger: 4"},
    {"(10 - 4) + 3", "uinteger: 9"},
    {"[1+2]", "uinteger: 3"},
    {"1 + 2)", "uinteger: 3"},
    {"(1 + 2", "error: Cannot parse expression '(1 + 2'. (Mismatched parentheses.)"},
    {"()", "error: Invalid expression. (Expression '()' evaluates to nothing.)"},
    {"", "error: No result calculated. (Expression evaluates to nothing.)"},
    {"[ ]", "error: No result calculated. (Expression evaluates to nothing.)"},
    // ":" pops only calls, so the "+" stays stacked across it.
    {"1 ? 5 + 1 : 10", "uinteger: 5"},
    {"0 ? 5 + 1 : 10", "uinteger: 11"},
    // The unary rule looks only at the character before the "-".
    {"-5", "integer: -5"},
    {"$INT(2*-3)", "integer: -6"},
    {"2 * -3", "error: Left operand not defined. (Parse fail.)"},
    {"2 * -", "error: Left operand not defined. (Parse fail.)"},
    {"3 --5", "uinteger: 8"},
    {"3 - -5", "error: Left operand not defined. (Parse fail.)"},
    {"+", "error: Left operand not defined. (Parse fail.)"},
    {"1 +", "error: Left operand not defined. (Parse fail.)"},
    {"1 ?", "error: Left operand not defined. (Parse fail.)"},
    {"(1)(2)", "uinteger: 1"},
    {"1, 2", "uinteger: 1"},
};
INSTANTIATE_TEST_SUITE_P(Grouping, CExpressionTable, ::testing::ValuesIn(kGrouping));

const CRow kOperators[] = {
    {"'a+b'", "string: a+b"},
    // The single quote ends the quote the double quote opened.
    {"\"a'+b\"", "string: \"ab\""},
    {"'ab' + 'cd'", "string: abcd"},
    {"1 == 1", "boolean: true"},
    {"'abc' != 'abd'", "boolean: true"},
    {"5 > 3", "boolean: true"},
    {"2 <= 1", "boolean: false"},
    {"3 >= 3", "boolean: true"},
    {"'a' < 'b'", "boolean: true"},
    {"!1", "boolean: false"},
    {"~0", "uinteger: 18446744073709551615"},
    {"6 & 3", "uinteger: 2"},
    {"6 | 3", "uinteger: 7"},
    {"6 ^ 3", "uinteger: 5"},
    {"1 && 0", "boolean: false"},
    {"1 || 0", "boolean: true"},
    {"0 || 0", "boolean: false"},
    {"'x' && 1", "boolean: true"},
    {"$UNKNOWN() && 1", "boolean: false"},
    {"$UNKNOWN() || 1", "boolean: false"},
    {"1 && $UNKNOWN()", "boolean: false"},
    {"0 || $UNKNOWN()", "boolean: false"},
    {"true + 1", "error: Cannot perform 'addition' (+) on boolean values. (Illegal operation.)"},
    {"1 / 0", "error: Cannot perform 'division' (/) on uinteger values. (Illegal operation.)"},
    {"10.0.0.1 + 0.0.0.1", "ip address: 10.0.0.2"},
    {"a = b", "error: Cannot execute expression assignment. (Invalid node.)"},
    {"(1 + 1) = 5", "uinteger: 5"},
    {"$len('a')", "error: Runtime error. (Unknown function 'len'.)"},
    // A quoted "$x" is guessed to be a function name, which ends the arguments.
    {"$LEN('$x')", "error: Runtime error. (Unknown function '$x'.)"},
    {"$NOTHING()",
     "error: Failed to execute function 'NOTHING'. (Function did not return a result.)"},
    {"$(1)", "error: Left operand not defined. (Parse fail.)"},
    {"$ARGS", "string: "},
    {"$ARGS(1, 2, 3)", "string: 1,2,3"},
    {"$ARGS('a', $ARGS('b', 'c'), 'd')", "string: a,b,c,d"},
    {"$ARGS(1 + 1, 'x' + 'y')", "string: 2,xy"},
};
INSTANTIATE_TEST_SUITE_P(Operators, CExpressionTable, ::testing::ValuesIn(kOperators));

const CRow kControl[] = {
    {"$IF(1, 'a', 'b')", "string: a"},
    {"$IF(0, 'a', 'b')", "string: b"},
    {"$IF('false', 1, 2)", "uinteger: 2"},
    {"$COND(0, false, 7, 8)", "uinteger: 7"},
    {"$COND()", "unknown: "},
    {"$COND(0)", "unknown: "},
    {"$DEFAULT(1, 2)", "uinteger: 1"},
    {"$DEFAULT()", "unknown: "},
    {"$UNKNOWN(1, 2)", "unknown: "},
    {"$EVAL('[1+2]')", "uinteger: 3"},
    {"$EVAL('1+2')", "string: 1+2"},
    {"$EVAL('[1]', '[2]')", "uinteger: 2"},
    {"$EVAL('[(1)(2)]')", "uinteger: 1"},
    {"$EVAL('10.0.0.1')", "ip address: 10.0.0.1"},
    {"$EVAL('[1 +]')", "error: Cannot execute expression '[1 +]'. (Expression does not evaluate.)"},
    {"$EVAL('[(1]')", "error: Cannot parse expression '[(1]'. (Expression does not evaluate.)"},
};
INSTANTIATE_TEST_SUITE_P(Control, CExpressionTable, ::testing::ValuesIn(kControl));

const CRow kText[] = {
    {"$LEN('abc')", "integer: 3"},
    {"$LEN('ab', 'cdef')", "integer: 4"},
    {"$LEN(12345)", "integer: 5"},
    {"$INSTR('abcabc', 'c')", "integer: 2"},
    {"$INSTR('abc', 'x')", "integer: -1"},
    {"$STARTSWITH('abcdef', 'abc')", "string: abc"},
    {"$STARTSWITH('ab', 'abc')", "unknown: "},
    {"$STARTSWITH('10.0.0.1x', '10.0.0.1')", "ip address: 10.0.0.1"},
    {"$LEFT('abcdef', 2)", "string: ab"},
    {"$LEFT('abc', 10)", "string: abc"},
    {"$LEFT('abc',-1)", "string: abc"},
    {"$LEFT('abc', 0)", "string: "},
    {"$RIGHT('abcdef', 2)", "string: ef"},
    {"$RIGHT('abc', 3)", "string: abc"},
    {"$RIGHT('abc', 10)", "string: abc"},
    {"$RIGHT('abc',-1)",
     "error: Failed to execute function $RIGHT(). (Count -1 must not be negative.)"},
    {"$MID('abcdef', 2, 3)", "string: cde"},
    {"$MID('abcdef', 2,-1)", "string: cdef"},
    {"$MID('abcdef', 4, 10)", "string: ef"},
    {"$MID('abcdef', 0, 0)", "string: "},
    // A blank before "-" makes it binary: "2 - 1" is one argument.
    {"$MID('abcdef', 2, -1)", "error: Failed to execute function $MID(). (Not enough arguments.)"},
    {"$MID('abc', 3, 1)",
     "error: Failed to execute function $MID(). (Position 3 is out of bounds in string abc.)"},
    {"$MID('abc',-1, 1)",
     "error: Failed to execute function $MID(). (Position -1 is out of bounds in string abc.)"},
    {"$MID(\"\", 0, 1)", "string: "},
    {"$MID(\"\", 1, 1)",
     "error: Failed to execute function $MID(). (Position 1 is out of bounds in string .)"},
    {"$MATCH('host42', 'host*')", "string: host42"},
    {"$MATCH('a', 'b')", "unknown: "},
    {"$MATCH('x1', 'x[0-9]')", "string: x1"},
    {"$MATCH('x1', 'x[^0-9]')", "unknown: "},
    {"$MATCH(42, '4?')", "uinteger: 42"},
    {"$UCASE('Ab1')", "string: AB1"},
    {"$UCASE(5)", "uinteger: 5"},
    {"$UCASE('a', 'b')", "string: B"},
    {"$LCASE('AbC')", "string: abc"},
    {"$STR(5)", "string: 5"},
    {"$STRING(true)", "string: true"},
    {"$STR('01-02-03', ':')", "string: 01:02:03"},
    {"$TEXT($BYTES('abc'))", "string: abc"},
    {"$TEXT('61-00-62')", "string: a"},
    {"$TEXT(7)", "string: 7"},
};
INSTANTIATE_TEST_SUITE_P(Text, CExpressionTable, ::testing::ValuesIn(kText));

const CRow kTypes[] = {
    {"$INT('0x10')", "integer: 16"},
    {"$INTEGER(5)", "integer: 5"},
    {"$INT('abc')",
     "error: Cannot convert variant value 'abc' to type 'integer'. (Value is not an integer.)"},
    {"$BOOL('no')", "boolean: true"},
    {"$BOOL(0)", "boolean: false"},
    {"$BYTES(300)", "byte sequence: 00-00-00-00-00-00-01-2C"},
    {"$BYTES($INT(300))", "byte sequence: 01-2C"},
    {"$MAC('00-11-22-33-44-55')", "byte sequence: 00-11-22-33-44-55"},
    {"$IP('10.0.0.1')", "ip address: 10.0.0.1"},
    {"$IP(167772161, 4)", "ip address: 10.0.0.1"},
    {"$IP('10.0.0.1', 6)", "ip address: ::ffff:10.0.0.1"},
    {"$IP('10.0.0.1', 5)",
     "error: Cannot determine variant subtype from ip address type. (Unknown ip address type.)"},
    {"$IP.MAP('10.0.0.1')", "ip address: ::ffff:10.0.0.1"},
    {"$IP.UNMAP($IP.MAP('10.0.0.1'))", "ip address: 10.0.0.1"},
};
INSTANTIATE_TEST_SUITE_P(Types, CExpressionTable, ::testing::ValuesIn(kTypes));

const CRow kTimeAndCodecs[] = {
    {"$TIME.FORMAT.UTC(86400, \"%Y-%m-%d\")", "string: 1970-01-02"},
    {"$YEAR('%%')", "string: %"},
    {"$BASE64.ENCODE('abc')", "string: YWJj"},
    {"$BASE64.DECODE('YWJj')", "byte sequence: 61-62-63"},
    {"$BASE64.DECODE($BASE64.ENCODE('abc'))", "byte sequence: 61-62-63"},
    {"$MD5('abc')", "byte sequence: 90-01-50-98-3C-D2-4F-B0-D6-96-3F-7D-28-E1-7F-72"},
    {"$MD5('a', 'abc')", "byte sequence: 90-01-50-98-3C-D2-4F-B0-D6-96-3F-7D-28-E1-7F-72"},
    {"$MD5(\"\")", "byte sequence: D4-1D-8C-D9-8F-00-B2-04-E9-80-09-98-EC-F8-42-7E"},
    {"$SHA1('abc')", "byte sequence: A9-99-3E-36-47-06-81-6A-BA-3E-25-71-78-50-C2-6C-9C-D0-D8-9D"},
    {"$DECRYPT($ENCRYPT('abc'))", "byte sequence: 61-62-63"},
    {"$DECRYPT($ENCRYPT('ab', 'c'))", "byte sequence: 61-62-63"},
    {"$DECRYPT('01-02-03')",
     "error: Failed to execute function $DECRYPT(). (Argument '01-02-03' must be exactly eight "
     "(8) bytes long.)"},
    {"$SDECRYPT($SENCRYPT('hello'))", "string: hello"},
    {"$USLEEP(1000)", "boolean: true"},
    {"$FILE.EXISTS('/nonexistent/file')", "boolean: false"},
};
INSTANTIATE_TEST_SUITE_P(TimeAndCodecs, CExpressionTable, ::testing::ValuesIn(kTimeAndCodecs));

struct CLazyRow {
  const char* expression;
  const char* expected;
  int calls;
};

void PrintTo(const CLazyRow& row, std::ostream* out) {
  *out << "\"" << row.expression << "\"";
}

class CLaziness : public ::testing::TestWithParam<CLazyRow> {};

TEST_P(CLaziness, RunsOnlyWhatIsNeeded) {
  CTestHost host;
  CExpEval engine(&host);
  engine.registerFunction("F", &sideEffect);
  gSideEffects = 0;
  EXPECT_EQ(GetParam().expected, run(engine, GetParam().expression));
  EXPECT_EQ(GetParam().calls, gSideEffects);
}

const CLazyRow kLazy[] = {
    {"0 && $F()", "boolean: false", 0},
    {"1 && $F()", "boolean: true", 1},
    {"$UNKNOWN() && $F()", "boolean: false", 0},
    {"1 || $F()", "boolean: true", 0},
    {"0 || $F()", "boolean: true", 1},
    {"$UNKNOWN() || $F()", "boolean: false", 0},
    {"0 ? $F() : 2", "uinteger: 2", 0},
    {"1 ? 2 : $F()", "uinteger: 2", 0},
    {"0 ? 10 : $F()", "integer: 99", 1},
    // Functions take all their arguments evaluated, $IF included.
    {"$IF(1, 2, $F())", "uinteger: 2", 1},
    {"$COND(1, $F())", "uinteger: 1", 1},
};
INSTANTIATE_TEST_SUITE_P(Lazy, CLaziness, ::testing::ValuesIn(kLazy));

}  // namespace
}  // namespace qvt::test
