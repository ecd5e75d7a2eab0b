// The binary form: chunk layout, in-place reading, rejected files; and both forms of one
// tree loading into equal trees.
#include "gf_test_util.h"
#include "scene/gf.h"
#include "scene/gf_write.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace gv::test {
namespace {

Bytes value(const std::string& name, std::uint32_t type, const Bytes& data) {
  return chunk("NVAL", nameField(name) + bigEndian(type) + data);
}

Bytes ints(std::initializer_list<std::uint32_t> words) {
  Bytes out;
  for (std::uint32_t word : words) out = out + bigEndian(word);
  return out;
}

// One tree in both forms, covering every value type, arrays, nesting and name lengths
// around the four-byte padding.
const char* const kSampleText =
    "# sample\n"
    "{ Scene\n"
    "  abc I4 1 -2 3\n"
    "  abcd U4 4000000000\n"
    "  { Lights\n"
    "    name STR \"Key light\"\n"
    "    intensity FP 0.75\n"
    "  }\n"
    "  position FP_C [\n"
    "    RUN 3 1.5\n"
    "    DAT 2 7 8 RUN 1 -1\n"
    "  ]\n"
    "  names STR [\n"
    "    \"one\"\n"
    "    \"three\"\n"
    "  ]\n"
    "}\n"
    "empty I4 \n";

Bytes sampleBinary() {
  Bytes lights = chunk("NODE", nameField("Lights") +
                                   value("name", GF_STR, nameField("Key light")) +
                                   value("intensity", GF_FP, floatWord(0.75f)));
  Bytes position = chunk(
      "NARR", nameField("position") + bigEndian(GF_FP_C) +
                  chunk("AVAL", ints({0, 3}) + floatWord(1.5f)) +
                  chunk("AVAL", ints({7, 2}) + floatWord(7) + floatWord(8) + ints({0, 1}) +
                                    floatWord(-1)));
  // Texts may be followed by more bytes than their terminator.
  Bytes names = chunk("NARR", nameField("names") + bigEndian(GF_STR) +
                                  chunk("AVAL", textBytes(std::string("one\0xyz", 7))) +
                                  chunk("AVAL", textBytes(std::string("three\0", 6))));
  Bytes scene = chunk("NODE", nameField("Scene") + value("abc", GF_I4, ints({1, 0xFFFFFFFE, 3})) +
                                  value("abcd", GF_U4, ints({4000000000u})) + lights + position +
                                  names);
  return form(scene + value("empty", GF_I4, {}));
}

const char* const kSampleTree =
    "Scene{abc=I4(1,-2,3) abcd=U4(4000000000) Lights{name=STR\"Key light\" intensity=FP(0.75)} "
    "position=FP_C[(1.5,1.5,1.5)(7,8,-1)] names=STR[\"one\"\"three\"]} empty=I4()";

TEST(GFBinaryTest, TextAndBinaryFormsLoadIntoEqualTrees) {
  GFDocumentPtr text = parseGF(std::string(kSampleText));
  GFDocumentPtr binary = parseGF(sampleBinary());
  ASSERT_TRUE(text);
  ASSERT_TRUE(binary);
  EXPECT_EQ(GF_Form(text.get()), GFForm::Text);
  EXPECT_EQ(GF_Form(binary.get()), GFForm::Binary);
  EXPECT_EQ(describe(GF_Root(text.get())), kSampleTree);
  EXPECT_EQ(describe(GF_Root(binary.get())), kSampleTree);
  EXPECT_STREQ(GF_Root(binary.get())->name, "root");
  EXPECT_EQ(GF_NodeCount(binary.get()), 10u);
}

TEST(GFBinaryTest, WrittenLayoutPadsNamesAndTextsToFourBytes) {
  GFDocumentPtr text = parseGF(std::string(kSampleText));
  ASSERT_TRUE(text);
  GFDocumentPtr reread = parseGF(GF_WriteBinary(GF_Root(text.get())));
  ASSERT_TRUE(reread);
  EXPECT_EQ(describe(GF_Root(reread.get())), kSampleTree);

  GFDocumentPtr small = parseGF(std::string("# small tree\nabc I4 5\nabcd STR \"hi\"\n"));
  ASSERT_TRUE(small);
  Bytes layout = form(chunk("NVAL", textBytes(std::string("abc\0", 4)) + ints({GF_I4, 5})) +
                      chunk("NVAL", textBytes(std::string("abcd\0\0\0\0", 8)) + ints({GF_STR}) +
                                        textBytes(std::string("hi\0\0", 4))));
  EXPECT_EQ(GF_WriteBinary(GF_Root(small.get())), layout);
  EXPECT_EQ(nameField("abc").size(), 4u);
  EXPECT_EQ(nameField("abcd").size(), 8u);
}

TEST(GFBinaryTest, WordsAfterOddSizedChunksAreStillRead) {
  // A three-character text item leaves the next chunk two bytes off a multiple of four.
  Bytes file = form(chunk("NARR", nameField("t") + bigEndian(GF_STR) +
                                      chunk("AVAL", textBytes(std::string("ab\0", 3))) +
                                      chunk("AVAL", textBytes(std::string("c\0", 2)))) +
                    value("n", GF_I4, ints({0x01020304, 42})) +
                    chunk("NARR", nameField("f") + bigEndian(GF_FP) +
                                      chunk("AVAL", floatWord(2.5f) + textBytes("zz"))) +
                    value("g", GF_FP_C, ints({1, 1}) + floatWord(9)));
  GFDocumentPtr document = parseGF(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(describe(GF_Root(document.get())),
            "t=STR[\"ab\"\"c\"] n=I4(16909060,42) f=FP[(2.5)] g=FP_C(9)");
  const GFNode* n = GF_Find(GF_Root(document.get()), "n");
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(n->data) % 4, 0u);
}

TEST(GFBinaryTest, RejectedFilesPrintTheirMessages) {
  Bytes good = value("v", GF_I4, ints({1}));
  Bytes shortForm = form(good);
  shortForm[7] -= 1;  // form size one less than the file size - 8
  struct Case {
    const char* what;
    Bytes file;
    const char* printed;
  } cases[] = {
      {"form size mismatch", shortForm,
       "Error, GF binary FORM size mismatch file size\n\nError, Not a GF file\n\n"},
      {"no chunk", form({}), "GF binary FORM holds no chunk\n\n"},
      {"unknown chunk", form(chunk("JUNK", {})), "unknown chunk ID 0x4a554e4b\n\n"},
      {"item that is not AVAL",
       form(chunk("NARR", nameField("a") + bigEndian(GF_I4) + chunk("XVAL", ints({1})))),
       "expected AVAL chunk, found 0x5856414c\n\n"},
      {"item past the array",
       form(chunk("NARR", nameField("a") + bigEndian(GF_I4) + bigEndian(0x4156414c) +
                              bigEndian(8) + ints({1}))),
       "exceed array size at level 1\n\n"},
      {"partial item header",
       form(chunk("NARR", nameField("a") + bigEndian(GF_I4) + textBytes("AVA"))),
       "exceed array size at level 1\n\n"},
      {"child past its node", form(chunk("NODE", nameField("n") + bigEndian(0x4e56414c) +
                                                     bigEndian(100) + ints({0}))),
       "exceed chunk size at level 2\n\n"},
      {"chunk past the file", form(bigEndian(0x4e4f4445) + bigEndian(0xFFFFFFF0)),
       "exceed chunk size at level 1\n\n"},
      {"partial chunk header", form(good + textBytes("NOD")), "exceed chunk size at level 1\n\n"},
      {"unterminated name", form(chunk("NODE", textBytes("abcd"))),
       "exceed chunk size at level 1\n\n"},
      {"name field past the body", form(chunk("NVAL", textBytes(std::string("abcd\0", 5)))),
       "exceed chunk size at level 1\n\n"},
      {"missing type code", form(chunk("NVAL", nameField("v"))), "exceed chunk size at level 1\n\n"},
      {"unknown type code", form(value("v", 5, {})), "unknown value type 5\n\n"},
      {"unterminated text", form(value("v", GF_STR, textBytes("abcd"))),
       "exceed chunk size at level 1\n\n"},
  };
  for (const Case& c : cases) {
    GFDocumentPtr document;
    std::string printed = printedBy([&] { document = parseGF(c.file); });
    EXPECT_FALSE(document) << c.what;
    EXPECT_EQ(printed, c.printed) << c.what;
  }
}

Bytes nestedBinary(int depth) {
  Bytes body = value("x", GF_I4, ints({1}));
  for (int i = 0; i < depth; ++i) body = chunk("NODE", nameField("N") + body);
  return form(body);
}

TEST(GFBinaryTest, NodesNestAtMostNineteenLevels) {
  EXPECT_TRUE(parseGF(nestedBinary(19)));
  GFDocumentPtr deeper;
  EXPECT_EQ(printedBy([&] { deeper = parseGF(nestedBinary(20)); }),
            "nodes nest deeper than 19 levels\n\n");
  EXPECT_FALSE(deeper);
}

TEST(GFBinaryTest, EmptyNodesAndNodesEndingTogetherClose) {
  Bytes file = form(chunk("NODE", nameField("a") + chunk("NODE", nameField("b") +
                                                                     chunk("NODE", nameField("c")))) +
                    chunk("NODE", nameField("d")));
  GFDocumentPtr document = parseGF(file);
  ASSERT_TRUE(document);
  EXPECT_EQ(describe(GF_Root(document.get())), "a{b{c{}}} d{}");
}

TEST(GFLoadTest, ReadsFilesThroughTheFileLayer) {
  TempDir dir;
  std::string textPath = dir.write("scene.gscn", kSampleText);
  Bytes binary = sampleBinary();
  std::string binaryPath = dir.write("scene.gavo", std::string(binary.begin(), binary.end()));
  std::string emptyPath = dir.write("empty.gscn", "");
  for (const std::string& path : {textPath, binaryPath}) {
    GFDocumentPtr document(GF_Load(path.c_str()));
    ASSERT_TRUE(document) << path;
    EXPECT_EQ(describe(GF_Root(document.get())), kSampleTree);
  }
  // Missing and empty files fail quietly.
  EXPECT_EQ(printedBy([&] {
              EXPECT_FALSE(GF_Load(emptyPath.c_str()));
              EXPECT_FALSE(GF_Load(dir.file("missing.gscn").c_str()));
            }),
            "");
}

TEST(GFFindTest, FindsTheFirstChildWithTheExactName) {
  GFDocumentPtr document =
      parseGF(std::string("# find test\n{ A\nx I4 1\nx I4 2\nX I4 3\n{ B\ny I4 4\n}\n}\n"));
  ASSERT_TRUE(document);
  const GFNode* root = GF_Root(document.get());
  const GFNode* a = GF_Find(root, "A");
  ASSERT_TRUE(a);
  EXPECT_EQ(GF_Find(a, "x")->value().ints()[0], 1);
  EXPECT_EQ(GF_Find(a, "X")->value().ints()[0], 3);
  EXPECT_EQ(GF_Find(GF_Find(a, "B"), "y")->value().ints()[0], 4);
  EXPECT_FALSE(GF_Find(root, "a"));
  EXPECT_FALSE(GF_Find(GF_Find(root, "missing"), "y"));
  EXPECT_FALSE(GF_Find(GF_Find(a, "x"), "x"));  // a value has no children
  EXPECT_FALSE(GF_Find(nullptr, "A"));
}

}  // namespace
}  // namespace gv::test
