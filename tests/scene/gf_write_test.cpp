// Writing trees back out: the text form reads back to the same tree and the same bits, the
// binary form reloads, and trees the text form cannot hold are named.
#include "gf_test_util.h"
#include "scene/gf.h"
#include "scene/gf_write.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace gv::test {
namespace {

const char* const kTree =
    "# a tree\n"
    "{ Scene\n"
    "{ SceneInfo\n"
    "frameEnd I4 -12 40\n"
    "fps FP 29.97 0.1 -0 1e-40 3.4028235e38\n"
    "audio STR \"  music.mp3 \"\n"
    "}\n"
    "channel FP_C [\n"
    "RUN 3 0.5 DAT 2 1 2\n"
    "DAT 0\n"
    "]\n"
    "flags U4 [\n"
    "4294967295\n"
    "]\n"
    "}\n"
    "empty FP \n";

TEST(GFWriteTest, TextFormReadsBackToTheSameTreeAndText) {
  GFDocumentPtr original = parseGF(std::string(kTree));
  ASSERT_TRUE(original);
  std::string text = GF_WriteText(GF_Root(original.get()));
  EXPECT_EQ(text,
            "# GF document\n"
            "{ Scene\n"
            "  { SceneInfo\n"
            "    frameEnd I4 -12 40\n"
            "    fps FP 29.97 0.1 -0 1e-40 3.4028235e+38\n"
            "    audio STR \"  music.mp3 \"\n"
            "  }\n"
            "  channel FP_C [\n"
            "    RUN 3 0.5 DAT 2 1 2\n"
            "    DAT 0\n"
            "  ]\n"
            "  flags U4 [\n"
            "    4294967295\n"
            "  ]\n"
            "}\n"
            "empty FP \n");
  GFDocumentPtr reread = parseGF(text);
  ASSERT_TRUE(reread);
  EXPECT_EQ(describe(GF_Root(reread.get())), describe(GF_Root(original.get())));
  GFDocumentPtr packed = parseGF(GF_WriteBinary(GF_Root(reread.get())));
  ASSERT_TRUE(packed);
  EXPECT_EQ(GF_WriteText(GF_Root(packed.get())), text);
}

TEST(GFWriteTest, FloatsReadBackToTheSameBits) {
  std::mt19937 random(11);
  std::uniform_int_distribution<std::uint32_t> bits;
  Bytes data;
  std::vector<std::uint32_t> words = {0x80000000u, 0x7F800000u, 0xFF800000u, 0x00000001u,
                                      0x7FC00000u, 0xFFC00000u, 0x7FC12345u, 0x3DCCCCCDu};
  for (int i = 0; i < 5000; ++i) {
    std::uint32_t word = bits(random);
    if ((word & 0x7F800000u) == 0x7F800000u) word |= 0x00400000u;  // no signalling NaNs
    words.push_back(word);
  }
  for (std::uint32_t word : words) data = data + bigEndian(word);
  Bytes file = form(chunk("NVAL", nameField("f") + bigEndian(GF_FP) + data));
  GFDocumentPtr binary = parseGF(file);
  ASSERT_TRUE(binary);
  EXPECT_EQ(GF_TextFormProblem(GF_Root(binary.get())), "");
  GFDocumentPtr text = parseGF(GF_WriteText(GF_Root(binary.get())));
  ASSERT_TRUE(text);
  const GFNode* f = GF_Find(GF_Root(text.get()), "f");
  ASSERT_EQ(f->count, words.size());
  for (std::size_t i = 0; i < words.size(); ++i)
    ASSERT_EQ(f->value().uints()[i], words[i]) << i;
}

TEST(GFWriteTest, CutOffStreamsAreWrittenAsTheBlocksTheyHold) {
  GFDocumentPtr document = parseGF(std::string("# cut-off\nx FP_C RUN 0 5 DAT 5 1 2\n"));
  ASSERT_TRUE(document);
  EXPECT_EQ(GF_WriteText(GF_Root(document.get())), "# GF document\nx FP_C DAT 2 1 2\n");
}

TEST(GFWriteTest, TreesTheTextFormCannotHoldAreNamed) {
  struct Case {
    Bytes chunks;
    const char* problem;
  } cases[] = {
      {chunk("NODE", nameField("two words")), "the name 'two words' is not one word"},
      {chunk("NODE", nameField("")), "the name '' is not one word"},
      {chunk("NVAL", nameField("#x") + bigEndian(GF_I4)), "the value name '#x' starts with '#'"},
      {chunk("NODE", nameField("n") + chunk("NVAL", nameField("{x") + bigEndian(GF_I4))),
       "the value name '{x' starts with '{'"},
      {chunk("NVAL", nameField("s") + bigEndian(GF_STR) + nameField("a\nb")),
       "a text of 's' holds a line break"},
      {chunk("NARR", nameField("a") + bigEndian(GF_I4) + chunk("AVAL", {})),
       "an item of the array 'a' is empty"},
      {chunk("NVAL", nameField("f") + bigEndian(GF_FP) + bigEndian(0x7F800001u)),
       "a float of 'f' is a signalling NaN"},
  };
  for (const Case& c : cases) {
    GFDocumentPtr document = parseGF(form(c.chunks));
    ASSERT_TRUE(document) << c.problem;
    EXPECT_EQ(GF_TextFormProblem(GF_Root(document.get())), c.problem);
  }
  // Empty texts and empty FP_C items have a text form.
  GFDocumentPtr fine = parseGF(form(chunk("NARR", nameField("a") + bigEndian(GF_FP_C) +
                                                      chunk("AVAL", {})) +
                                    chunk("NVAL", nameField("s") + bigEndian(GF_STR) + nameField(""))));
  ASSERT_TRUE(fine);
  EXPECT_EQ(GF_TextFormProblem(GF_Root(fine.get())), "");
}

}  // namespace
}  // namespace gv::test
