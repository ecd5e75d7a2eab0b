// The text form: line rules, value texts, numbers, and the messages of rejected files.
#include "gf_test_util.h"
#include "scene/gf.h"
#include "scene/gf_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace gv::test {
namespace {

// Every case starts with a comment so that even one short line passes the 12-byte minimum.
std::string withHeader(const std::string& lines) { return "# test document\n" + lines; }

struct LoadResult {
  std::string tree;     // describe() of the root, or "-" when the load failed
  std::string printed;  // what the loader printed
};

LoadResult load(const std::string& bytes) {
  LoadResult result;
  GFDocumentPtr document;
  result.printed = printedBy([&] { document = parseGF(bytes); });
  result.tree = document ? describe(GF_Root(document.get())) : "-";
  return result;
}

TEST(GFTextTest, LinesBecomeNodesValuesAndArrays) {
  struct Case {
    const char* lines;
    const char* tree;
  } cases[] = {
      {"{ Lights\n}\n", "Lights{}"},
      {"{A B\n}\n", "B{}"},  // the second word names the node
      {"{ A extra words\n}\n", "A{}"},
      {"\t  { A\n  x I4 1\n}\n", "A{x=I4(1)}"},
      {"# comment\n// comment\n  / also\nx I4 1\n", "x=I4(1)"},
      {"{ A\n} trailing words\ny I4 2\n", "A{} y=I4(2)"},
      {"{ A\n{ B\nx I4 1\n", "A{B{x=I4(1)}}"},  // still open at the end: accepted
      {"a I4 [\n1 2\n# not an item\n3\n]\n", "a=I4[(1,2)(3)]"},
      {"a FP [ ignored\n1.5\n] ignored\nb I4 1\n", "a=FP[(1.5)] b=I4(1)"},
      {"a STR [\n  \"x\"\n{ not a node\n]\n", "a=STR[\"x\"\"{ not a node\"]"},
      {"{ A\na I4 [\n1\n}\n2\n]\n", "A{a=I4[(1)(2)]}"},  // } inside an array closes the node
      {"] I4 5\n", "]=I4(5)"},                          // ] outside an array is a name
      {"x I4 12 abc -3\n", "x=I4(12,0,-3)"},
      {"x I4 \n", "x=I4()"},  // an empty value text gives no elements
      {"x I4\t\t7\t8\n", "x=I4(7,8)"},
      {"x U4 7 -1 99999999999 4294967295\n", "x=U4(7,4294967295,4294967295,4294967295)"},
      {"x I4 2147483647 -2147483648 99999999999 -99999999999\n",
       "x=I4(2147483647,-2147483648,2147483647,-2147483648)"},
      {"x FP 1.5 abc 1e3 0x10 -2.5e-1 7x\n", "x=FP(1.5,0,1000,16,-0.25,7)"},
      {"x FP_C RUN 4 1.5 DAT 2 7 8\n", "x=FP_C(1.5,1.5,1.5,1.5,7,8)"},
      {"x FP_C DAT 2 run 5\n", "x=FP_C(0,5)"},  // a lower-case block name is a float
  };
  for (const Case& c : cases) {
    LoadResult result = load(withHeader(c.lines));
    EXPECT_EQ(result.tree, c.tree) << c.lines;
    EXPECT_EQ(result.printed, "") << c.lines;
  }
}

TEST(GFTextTest, LineBreaksOfAnyKindSeparateLinesAndEmptyLinesAreNotCounted) {
  LoadResult result = load("# 1 a comment\r\n\r\n\n{ A\r\r}\n\n\n}\n");
  EXPECT_EQ(result.tree, "-");
  EXPECT_EQ(result.printed, "line 4: too many }\n\n");
}

TEST(GFTextTest, StringValueTexts) {
  struct Case {
    const char* line;
    const char* value;
  } cases[] = {
      {"s STR \"abcd efgh\"  \n", "abcd efgh"},
      {"s STR \"abc\n", "abc"},
      {"s STR abc  \n", "abc  "},
      {"s STR    padded\n", "padded"},
      {"s STR \"a\"b\" \t\n", "a\"b"},
      {"s STR \"\"\n", ""},
      {"s STR \"\n", ""},
      {"s STR \"  inner  \"\n", "  inner  "},
      {"s STR a \"b\" c\n", "a \"b\" c"},
      {"s STR \n", ""},
  };
  for (const Case& c : cases) {
    GFDocumentPtr document = parseGF(withHeader(c.line));
    ASSERT_TRUE(document) << c.line;
    const GFNode* value = GF_Find(GF_Root(document.get()), "s");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, GF_STR);
    EXPECT_STREQ(value->value().text(), c.value) << c.line;
    EXPECT_EQ(value->count, std::strlen(c.value)) << c.line;
  }
}

TEST(GFTextTest, RejectedFilesPrintTheirMessages) {
  struct Case {
    std::string bytes;
    const char* printed;
  } cases[] = {
      {withHeader("{\n"), "Line does not have enough token\n\nline 2: Invalid line\n\n"},
      {withHeader("{ A\n  {   \n"), "Line does not have enough token\n\nline 3: Invalid line\n\n"},
      {withHeader("lonely\n"), "Line does not have enough token\n\nline 2: Invalid line\n\n"},
      {withHeader("name I4\n"), "Line value does not have enough token\n\nline 2: Invalid line\n\n"},
      {withHeader("name FLOAT 1\n"), "line 2: unknown value type FLOAT\n\n"},
      {withHeader("name fp 1\n"), "line 2: unknown value type fp\n\n"},
      {withHeader("}\n"), "line 2: too many }\n\n"},
      {withHeader("{ A\n}\n}\n"), "line 4: too many }\n\n"},
      {"short file", "Error, file size < 12 bytes\n\nError, Not a GF file\n\n"},
      {std::string("x I4 1\n\0\0\0\0\0\0", 13), "Error, file is not GF format\n\nError, Not a GF file\n\n"},
      {std::string("x I4 1\b 2 3 4", 13), "Error, file is not GF format\n\nError, Not a GF file\n\n"},
  };
  for (const Case& c : cases) {
    LoadResult result = load(c.bytes);
    EXPECT_EQ(result.tree, "-") << c.bytes;
    EXPECT_EQ(result.printed, c.printed) << c.bytes;
  }
}

TEST(GFTextTest, ControlCharactersAfterTheFirstTwelveBytesAreAccepted) {
  EXPECT_EQ(load(withHeader("s STR a\x01z\n")).tree, "s=STR\"a\x01z\"");
  // The text ends at a zero byte.
  EXPECT_EQ(load(withHeader(std::string("a I4 1\n\0b I4 2\n", 15))).tree, "a=I4(1)");
}

std::string nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "{ N\n";
  return withHeader(text + "x I4 1\n");
}

TEST(GFTextTest, NodesNestAtMostNineteenLevels) {
  EXPECT_NE(load(nested(19)).tree, "-");
  LoadResult deeper = load(nested(20));
  EXPECT_EQ(deeper.tree, "-");
  EXPECT_EQ(deeper.printed, "line 21: nodes nest deeper than 19 levels\n\n");
}

TEST(GFTextTest, NumbersReadLikeTheCLibrary) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::uint32_t> bits;
  const char* formats[] = {"%.9g", "%.6g", "%.3f", "%.12e", "%.17g", "%g"};
  for (int i = 0; i < 20000; ++i) {
    std::uint32_t word = bits(random);
    float value;
    std::memcpy(&value, &word, 4);
    if (!std::isfinite(value)) continue;
    char token[64];
    std::snprintf(token, sizeof token, formats[i % 6], static_cast<double>(value));
    float expected = static_cast<float>(std::atof(token));
    float parsed = gv::gf::parseFloat(token, token + std::strlen(token));
    ASSERT_EQ(std::memcmp(&parsed, &expected, 4), 0) << token;
  }
  const char* odd[] = {"1.", ".5", "-0", "+7", "1e", "1e+", "inf", "-nan", "0x1p-3", "1e-50",
                       "3.4028236e38", "123456789012345678901234567890", "0.000000000001234"};
  for (const char* token : odd) {
    float expected = static_cast<float>(std::atof(token));
    float parsed = gv::gf::parseFloat(token, token + std::strlen(token));
    EXPECT_EQ(std::memcmp(&parsed, &expected, 4), 0) << token;
  }
}

}  // namespace
}  // namespace gv::test
