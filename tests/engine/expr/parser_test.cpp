// Grammar of the expression language: values of good texts (precedence,
// associativity, case folding, numbers), the message of every refused text,
// and the guards that keep a long text inside the compiled record.

#include "tests/engine/expr/ExprTestSupport.h"

#include "engine/expr/ConstantTable.h"
#include "engine/expr/FunctionTables.h"

#include <cmath>
#include <string>

namespace {

struct Good {
  const char* text;
  double value;
};

// Values given by hand; the tolerance is relative 1e-14.
const Good kGood[] = {
    {"2*pi", 6.283185307179586},
    {"PI", 3.141592653589793},
    {"Pi*2", 6.283185307179586},
    {"-2^2", 4.0},
    {"2^3^2", 64.0},
    {"2^-2", 0.25},
    {"2--3", 5.0},
    {"+3", 3.0},
    {"--2", 2.0},
    {"-(2+3)", -5.0},
    {"1+2*3", 7.0},
    {"(1+2)*3", 9.0},
    {"8/4/2", 1.0},
    {"8-4-2", 2.0},
    {"2*3^2", 18.0},
    {"1+2-3+4", 4.0},
    {"2*-3", -6.0},
    {"sin(0)+cos(0)", 1.0},
    {"SIN(0)", 0.0},
    {"clip(5,2)*2", 4.0},
    {"clip(2*3,1+1)", 2.0},
    {"sum(1,2)^2", 9.0},
    {"mag(3,4)", 5.0},
    {"sqrt(16)", 4.0},
    {"a+b+c+d", 4.0},
    {"1.5e-3", 0.0015},
    {"1.5E+3", 1500.0},
    {".5", 0.5},
    {"5.", 5.0},
    {"3.e2", 300.0},
    {"12", 12.0},
    {" \t1 +\t2 ", 3.0},
    {"((((1))))", 1.0},
    {"1e-400", 0.0},
    {"abs(-2)*sgn(-3)", -2.0},
};

class GoodText : public ExprTest, public ::testing::WithParamInterface<Good> {};

TEST_P(GoodText, EvaluatesToItsValue)
{
  const Good& g = GetParam();
  CompiledExpr e;
  ASSERT_TRUE(parse(g.text, e)) << g.text << ": " << Pending();
  const double v = eval(e);
  EXPECT_FALSE(ErrorPending()) << Pending();
  EXPECT_NEAR(v, g.value, 1e-14 * std::fabs(g.value) + 1e-300) << g.text;
}

INSTANTIATE_TEST_SUITE_P(Grammar, GoodText, ::testing::ValuesIn(kGood));

struct Bad {
  const char* text;
  const char* message;
};

const Bad kBad[] = {
    {"sin (t)", "No such variable"},
    {"t2", "No such variable"},
    {"pi2", "No such variable"},
    {"sin", "No such variable"},
    {"clip+1", "No such variable"},
    {"foo", "No such variable"},
    {"verylongname", "No such variable"},
    {"foo(1)", "No such function"},
    {"pi(1)", "No such function"},
    {"2pi", "Syntax error"},
    {"2 3", "Syntax error"},
    {"2sin(1)", "Syntax error"},
    {"pi pi", "Syntax error"},
    {"2e", "Syntax error"},
    {"1e+", "Syntax error"},
    {"1e-", "Syntax error"},
    {".", "Syntax error"},
    {".e5", "Syntax error"},
    {"1.2.3", "Syntax error"},
    {"1+*2", "Syntax error"},
    {"*2", "Syntax error"},
    {"(1+)", "Syntax error"},
    {"1\n+2", "Syntax error"},
    {"1+\xc3\xa9", "Syntax error"},
    {"1%2", "No such operator"},
    {"1=2", "No such operator"},
    {"a[1]", "No such operator"},
    {"sin()", "Missing operand"},
    {"clip(1,)", "Missing operand"},
    {"clip(,1)", "Missing operand"},
    {"( )", "Missing operand"},
    {"(1", "Missing bracket"},
    {"1)", "Missing bracket"},
    {"sin(1", "Missing bracket"},
    {"clip(1)", "Mistake"},
    {"sin(1,2)", "Mistake"},
    {"clip(1,2,3)", "Mistake"},
    {"1,2", "Mistake"},
    {"(1)(2)", "Mistake"},
    {"-", "Mistake"},
    {"1e400", "Too big"},
};

class BadText : public ExprTest, public ::testing::WithParamInterface<Bad> {};

TEST_P(BadText, IsRefusedWithItsMessage)
{
  const Bad& b = GetParam();
  EXPECT_EQ(ParseMessage(b.text), b.message) << b.text;
}

INSTANTIATE_TEST_SUITE_P(Messages, BadText, ::testing::ValuesIn(kBad));

TEST_F(ExprTest, EmptyTextFailsWithoutMessage)
{
  for (const char* text : {"", "   ", "\t"}) {
    CompiledExpr e;
    EXPECT_FALSE(parse(text, e)) << '"' << text << '"';
    EXPECT_FALSE(ErrorPending()) << Pending();
    EXPECT_EQ(e.code[0], kEndCode);
    EXPECT_EQ(eval(e), 0.0);
  }
}

TEST_F(ExprTest, PendingErrorMakesParseFailAtOnce)
{
  SetError("earlier");
  CompiledExpr e;
  EXPECT_FALSE(parse("1+1", e));
  EXPECT_STREQ(ErrorMessage(), "earlier");
  EXPECT_EQ(e.code[0], kEndCode);
}

TEST_F(ExprTest, NullTextIsAProblem)
{
  CompiledExpr e;
  EXPECT_FALSE(parse(nullptr, e));
  EXPECT_EQ(Pending(), "Problem with parse()");
}

TEST_F(ExprTest, VariablesTakeTheSlotsAfterTheConstants)
{
  const char* names[] = {"t", "y", "u", "r", "e"};
  CompiledExpr e;
  BindVariables(e, names, 5);
  ASSERT_TRUE(parse("t+10*y+100*u+1000*r+10000*E", e)) << Pending();
  for (int i = 0; i < 5; ++i)
    e.vars[i].value = i + 1;
  EXPECT_DOUBLE_EQ(eval(e), 54321.0);
  e.vars[0].value = 9;
  EXPECT_DOUBLE_EQ(eval(e), 54329.0);
  EXPECT_EQ(e.firstVarSlot, ConstantCount());
  EXPECT_EQ(ParseMessage("x"), "No such variable");
}

TEST_F(ExprTest, VariableRulesMatchConstantRules)
{
  const char* names[] = {"x"};
  for (const Bad& b : {Bad{"x(1)", "No such function"}, Bad{"x2", "No such variable"}, Bad{"x x", "Syntax error"},
                       Bad{"2x", "Syntax error"}, Bad{"sin (x)", "No such variable"}}) {
    ClearError();
    CompiledExpr e;
    BindVariables(e, names, 1);
    EXPECT_FALSE(parse(b.text, e));
    EXPECT_EQ(Pending(), b.message) << b.text;
  }
}

TEST_F(ExprTest, ParametersAreCopiedAtParseTime)
{
  CompiledExpr early;
  ASSERT_TRUE(parse("a*10+b", early));
  SetParameter(0, 3.0);
  CompiledExpr late;
  ASSERT_TRUE(parse("a*10+b", late));
  EXPECT_DOUBLE_EQ(eval(early), 11.0);
  EXPECT_DOUBLE_EQ(eval(late), 31.0);
  ASSERT_TRUE(parse("a*10+b", early));
  EXPECT_DOUBLE_EQ(eval(early), 31.0);
  SetParameter(0, 1.0);
  EXPECT_DOUBLE_EQ(Parameter(0), 1.0);
  EXPECT_DOUBLE_EQ(Parameter(7), 0.0);
}

TEST_F(ExprTest, EvalConstantGivesZeroOnFailure)
{
  EXPECT_DOUBLE_EQ(EvalConstant("1/4"), 0.25);
  EXPECT_FALSE(ErrorPending());
  EXPECT_EQ(EvalConstant("1+"), 0.0);
  EXPECT_EQ(Pending(), "Mistake");
  ClearError();
  EXPECT_EQ(EvalConstant(""), 0.0);
  EXPECT_FALSE(ErrorPending());
}

TEST_F(ExprTest, UsesHystFollowsTheLastParse)
{
  const char* names[] = {"x"};
  CompiledExpr e;
  BindVariables(e, names, 1);
  ASSERT_TRUE(parse("hyst(x,0.5)*2", e));
  EXPECT_TRUE(UsesHyst());
  ASSERT_TRUE(parse("dzone(x,0.5)", e));
  EXPECT_FALSE(UsesHyst());
  EXPECT_FALSE(parse("hyst(x)", e));
  EXPECT_FALSE(UsesHyst());
}

// Texts that nest or chain to given depths, with whether they must fit.
std::string Nested(int depth)
{
  return std::string(depth, '(') + "1" + std::string(depth, ')');
}

std::string Chain(int literals, const char* op)
{
  std::string s = "1";
  for (int i = 1; i < literals; ++i)
    s += std::string(op) + "1";
  return s;
}

TEST_F(ExprTest, LimitsOfTheRecordAreRefusedWithMistake)
{
  struct Case {
    std::string text;
    bool fits;
  };
  const Case cases[] = {
      {Nested(19), true},
      {Nested(21), false},
      {Chain(30, "+"), true},               // 59 codes
      {Chain(31, "+"), false},              // 61 tokens: the token limit
      {Chain(35, "^-"), false},             // neg and ^ pending
      {std::string(40, '-') + "1", false},  // pending stack full of neg
      // 51 codes and 19 pending operators: each token passes the checks made
      // before it, but the code cannot take the operators at the end.
      {Chain(26, "+") + "*" + std::string(17, '-') + "1", false},
      {Chain(26, "+") + "*" + std::string(10, '-') + "1", true},
  };
  for (const Case& c : cases) {
    ClearError();
    CompiledExpr e;
    const bool ok = parse(c.text.c_str(), e);
    EXPECT_EQ(ok, c.fits) << c.text << ": " << Pending();
    if (!c.fits)
      EXPECT_EQ(Pending(), "Mistake") << c.text;
    else
      EXPECT_DOUBLE_EQ(eval(e), c.text[0] == '(' ? 1.0 : (c.text.size() > 60 ? 26.0 : 30.0));
  }
}

TEST_F(ExprTest, LiteralSlotsRunOutWithMistake)
{
  // 35 slots are free for literals without variables, 30 with five.
  const char* names[] = {"t", "y", "u", "r", "e"};
  std::string many = "1";
  for (int i = 1; i < 36; ++i)
    many += "+" + std::to_string(i % 10);  // 36 literals
  CompiledExpr plain;
  EXPECT_FALSE(parse(many.c_str(), plain));
  EXPECT_EQ(Pending(), "Mistake");

  ClearError();
  CompiledExpr bound;
  BindVariables(bound, names, 5);
  std::string thirty = Chain(30, "+");  // exactly fills the slots
  EXPECT_TRUE(parse(thirty.c_str(), bound)) << Pending();
  EXPECT_DOUBLE_EQ(eval(bound), 30.0);
  std::string more = Chain(29, "+") + "+t+2";  // 31 literals
  EXPECT_FALSE(parse(more.c_str(), bound));
  EXPECT_EQ(Pending(), "Mistake");
}

TEST_F(ExprTest, DeepValueStackIsRefused)
{
  // Rising priorities keep every value waiting: 1+1*1^...; the pending
  // stack stops it before eval's 20 values could overflow.
  std::string s = "1";
  for (int i = 0; i < 25; ++i)
    s += "+(1";
  s += std::string(25, ')');
  CompiledExpr e;
  EXPECT_FALSE(parse(s.c_str(), e));
  EXPECT_EQ(Pending(), "Mistake");
}

TEST_F(ExprTest, FailedParseLeavesEmptyProgram)
{
  CompiledExpr e;
  ASSERT_TRUE(parse("1+2", e));
  EXPECT_FALSE(parse("1+", e));
  EXPECT_EQ(e.code[0], kEndCode);
}

TEST_F(ExprTest, CorruptCodeIsAProblemForEval)
{
  for (TokenCode bad : {TokenCode{39 + 1}, TokenCode{94}, TokenCode{146}, TokenCode{128 + 2}}) {
    ClearError();
    CompiledExpr e;
    e.code[0] = bad;
    e.code[1] = kEndCode;
    EXPECT_EQ(eval(e), 0.0);
    EXPECT_EQ(Pending(), "Problem with eval()") << int(bad);
  }
}

TEST(FunctionTables, AreSortedAndHoldTheParserCodes)
{
  for (int i = 1; i < kUnaryCount; ++i)
    EXPECT_LT(kUnaryTable[i - 1].name, kUnaryTable[i].name);
  for (int i = 1; i < kBinaryCount; ++i)
    EXPECT_LT(kBinaryTable[i - 1].name, kBinaryTable[i].name);
  for (int i = 0; i < kUnaryCount; ++i)
    EXPECT_EQ(FindUnary(kUnaryTable[i].name), i);
  for (int i = 0; i < kBinaryCount; ++i)
    EXPECT_EQ(FindBinary(kBinaryTable[i].name), i);
  EXPECT_EQ(FindUnary("nope"), -1);
  EXPECT_EQ(FindBinary(""), -1);
  EXPECT_EQ(kOpenCode, 128 + FindBinary("("));
  EXPECT_EQ(kCloseCode, 128 + FindBinary(")"));
  EXPECT_EQ(kCommaCode, 128 + FindBinary(","));
  EXPECT_EQ(kPlusCode, 128 + FindBinary("+"));
  EXPECT_EQ(kMinusCode, 128 + FindBinary("-"));
  EXPECT_EQ(kHystCode, 128 + FindBinary("hyst"));
  EXPECT_EQ(kNegCode, 64 + FindUnary("neg"));
  for (std::size_t i = 0; i < kOperators.size(); ++i)
    EXPECT_EQ(FindBinary(kOperators.substr(i, 1)), static_cast<int>(i));
}

}  // namespace
