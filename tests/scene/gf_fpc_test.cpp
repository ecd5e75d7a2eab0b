// FP_C streams: element counts, decompression through a cursor, and streams whose blocks
// are cut off.
#include "gf_test_util.h"
#include "scene/gf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace gv::test {
namespace {

std::uint32_t floatBits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

TEST(GFFpcTest, DecompressesRunAndDataBlocks) {
  GFDocumentPtr document = parseGF(std::string("# fp_c test\nx FP_C RUN 4 1.5 DAT 2 7 8\n"));
  ASSERT_TRUE(document);
  GFItem stream = GF_Find(GF_Root(document.get()), "x")->value();
  EXPECT_EQ(stream.count, 6u);
  EXPECT_EQ(stream.wordCount, 7u);
  GFCursor cursor;
  EXPECT_EQ(GF_FP_C_Get(stream, 5, cursor), 8.0f);
  const float expected[] = {1.5f, 1.5f, 1.5f, 1.5f, 7, 8};
  for (std::uint64_t i = 0; i < 6; ++i) {
    GFCursor fresh;
    EXPECT_EQ(GF_FP_C_Get(stream, i, fresh), expected[i]) << i;
  }
}

TEST(GFFpcTest, TheCursorStaysOnTheBlockItFound) {
  // Blocks at words 0 (RUN 2), 3 (DAT 3), 8 (RUN 0), 11 (RUN 1).
  std::vector<std::uint32_t> words = {0, 2, floatBits(1), 1, 3, floatBits(2), floatBits(3),
                                      floatBits(4), 0, 0, floatBits(9), 0, 1, floatBits(5)};
  auto count = static_cast<std::uint32_t>(words.size());
  EXPECT_EQ(GF_FP_C_Count(words.data(), count), 6u);
  GFCursor cursor;
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 1, cursor), 1.0f);
  EXPECT_EQ(cursor.word, 0u);
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 3, cursor), 3.0f);
  EXPECT_EQ(cursor.word, 3u);
  EXPECT_EQ(cursor.first, 2u);
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 4, cursor), 4.0f);
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 5, cursor), 5.0f);
  EXPECT_EQ(cursor.word, 11u);
  EXPECT_EQ(cursor.first, 5u);
  // A lower index starts over.
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 0, cursor), 1.0f);
  EXPECT_EQ(cursor.word, 0u);
  // Past the end: 0, and the cursor stays.
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 6, cursor), 0.0f);
  EXPECT_EQ(cursor.word, 0u);
  // A cursor from a longer stream is not trusted.
  GFCursor foreign{100, 0};
  EXPECT_EQ(GF_FP_C_Get(words.data(), count, 2, foreign), 2.0f);
}

TEST(GFFpcTest, CutOffStreamsCountOnlyTheFloatsTheyHold) {
  struct Case {
    const char* text;
    std::uint32_t count;
    const char* values;
  } cases[] = {
      {"DAT 5 1 2", 2, "(1,2)"},
      {"RUN 3", 0, "()"},
      {"RUN 2 4 DAT", 2, "(4,4)"},
      {"DAT", 0, "()"},
      {"1.5 2.5", 0, "()"},  // the first float is read as a marker, the second as a count
  };
  for (const Case& c : cases) {
    GFDocumentPtr document = parseGF("# cut-off streams\nx FP_C " + std::string(c.text) + "\n");
    ASSERT_TRUE(document) << c.text;
    const GFNode* x = GF_Find(GF_Root(document.get()), "x");
    EXPECT_EQ(x->count, c.count) << c.text;
    GFCursor cursor;
    EXPECT_EQ(GF_FP_C_Get(x->value(), x->count, cursor), 0.0f) << c.text;
    EXPECT_EQ(describe(GF_Root(document.get())), "x=FP_C" + std::string(c.values));
  }
}

TEST(GFFpcTest, CountsBeyondThirtyTwoBitsSaturateInTheNode) {
  GFDocumentPtr document =
      parseGF(std::string("# long runs\nx FP_C RUN 4294967295 1 RUN 4294967295 2\n"));
  ASSERT_TRUE(document);
  const GFNode* x = GF_Find(GF_Root(document.get()), "x");
  EXPECT_EQ(x->count, 4294967295u);
  EXPECT_EQ(GF_FP_C_Count(x->value().uints(), x->wordCount), 8589934590u);
  GFCursor cursor;
  EXPECT_EQ(GF_FP_C_Get(x->value(), 4294967294u, cursor), 1.0f);
  EXPECT_EQ(GF_FP_C_Get(x->value(), 4294967296u, cursor), 2.0f);
}

TEST(GFFpcTest, AnEmptyStreamReadsZero) {
  GFCursor cursor;
  EXPECT_EQ(GF_FP_C_Get(nullptr, 0, 0, cursor), 0.0f);
  EXPECT_EQ(GF_FP_C_Count(nullptr, 0), 0u);
}

}  // namespace
}  // namespace gv::test
