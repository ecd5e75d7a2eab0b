// Keyframe channels: clamping, the shared frame position, step reads, shapes that are not
// accepted, and rotations against hand-computed values and rotation matrices.
#include "gf_test_util.h"
#include "scene/gf_channel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace gv::test {
namespace {

class ChannelTest : public testing::Test {
 protected:
  const GFNode* channel(const std::string& name) { return GF_Find(GF_Root(document_.get()), name.c_str()); }
  void load(const std::string& lines) {
    document_ = parseGF("# channels\n" + lines);
    ASSERT_TRUE(document_);
  }

 private:
  GFDocumentPtr document_;
};

TEST_F(ChannelTest, LinearReadsClampAtBothEnds) {
  load("s FP_C DAT 3 0 10 20\none FP_C RUN 1 4\nempty FP_C \n");
  struct Case {
    float t;
    float value;
  } cases[] = {{0.5f, 5}, {1.25f, 12.5f}, {2, 20}, {7, 20}, {-3, 0}, {0, 0}, {1e12f, 20}, {NAN, 0}};
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(GF_FP_Lerp(channel("s"), c.t), c.value) << c.t;
    EXPECT_EQ(GF_FP_Lerp(channel("one"), c.t), 4.0f) << c.t;
    EXPECT_EQ(GF_FP_Lerp(channel("empty"), c.t), 0.0f) << c.t;
  }
  EXPECT_EQ(GF_FP_Lerp(nullptr, 1), 0.0f);
}

TEST_F(ChannelTest, ConstantsGiveTheirFirstElements) {
  load("c FP 1 2 3\nshort FP 5\n");
  for (float t : {-1.0f, 0.0f, 3.5f}) {
    GFVec3 v = GF_FP3_Lerp(channel("c"), t);
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.y, 2);
    EXPECT_EQ(v.z, 3);
    EXPECT_EQ(GF_FP_Lerp(channel("c"), t), 1);
    EXPECT_EQ(GF_FP2_Lerp(channel("c"), t).y, 2);
  }
  GFVec3 padded = GF_FP3_Lerp(channel("short"), 0);
  EXPECT_EQ(padded.x, 5);
  EXPECT_EQ(padded.y, 0);
  EXPECT_EQ(padded.z, 0);
}

TEST_F(ChannelTest, AClampingComponentMovesThePositionForTheOnesAfterIt) {
  load("v FP_C [\nDAT 2 0 10\nDAT 5 0 1 2 3 4\nDAT 5 0 1 2 3 4\n]\n"
       "w FP_C [\nDAT 5 0 1 2 3 4\nDAT 2 0 10\n]\n");
  GFVec3 v = GF_FP3_Lerp(channel("v"), 3.5f);
  EXPECT_EQ(v.x, 10);
  EXPECT_EQ(v.y, 1);
  EXPECT_EQ(v.z, 1);
  GFVec2 w = GF_FP2_Lerp(channel("w"), 3.5f);
  EXPECT_EQ(w.x, 3.5f);
  EXPECT_EQ(w.y, 10);
}

TEST_F(ChannelTest, UnsupportedShapesPrintAndReadZero) {
  load("two FP_C [\nDAT 1 1\nDAT 1 2\n]\nstream FP_C DAT 2 1 2\nfp FP [\n1\n2\n3\n]\n"
       "{ node\n}\n");
  struct Case {
    const char* name;
    const char* printed;
  } cases[] = {
      {"two", "GF_FP3_Lerp: unsupported value/valtype/array size\n\n"},
      {"stream", "GF_FP3_Lerp: unsupported value/valtype/array size\n\n"},
      {"fp", "GF_FP3_Lerp: unsupported value/valtype/array size\n\n"},
      {"node", "GF_FP3_Lerp: unsupported value/valtype/array size\n\n"},
  };
  for (const Case& c : cases) {
    GFVec3 v{1, 1, 1};
    EXPECT_EQ(printedBy([&] { v = GF_FP3_Lerp(channel(c.name), 1); }), c.printed) << c.name;
    EXPECT_EQ(v.x + v.y + v.z, 0) << c.name;
  }
  EXPECT_EQ(printedBy([&] { EXPECT_EQ(GF_FP_Lerp(channel("two"), 0), 0); }),
            "GF_FP_Lerp not supported on array\n\n");
  EXPECT_EQ(printedBy([&] { EXPECT_EQ(GF_FP2_Lerp(channel("stream"), 0).x, 0); }),
            "GF_FP2_Lerp: unsupported value/valtype/array size\n\n");
  EXPECT_EQ(printedBy([&] { EXPECT_EQ(GF_FP3_Slerp_HPB_To_XYZ(channel("two"), 0).x, 0); }),
            "GF_FP3_Slerp_HPB_To_XYZ: unsupported value/valtype/array size\n\n");
  EXPECT_EQ(printedBy([&] {
              GF_FP3_Lerp(nullptr, 0);
              GF_FP3_Slerp_HPB_To_XYZ(nullptr, 0);
            }),
            "");
}

TEST_F(ChannelTest, StepReadsClampTheIndexUnsigned) {
  load("s FP_C DAT 3 0 10 20\nc FP 1 2 3\nfp FP [\n7 8\n9\n]\n"
       "arr FP_C [\nDAT 2 1 2\nDAT 3 4 5 6\nRUN 1 9\n]\nints I4 0 3 1065353216\nempty FP [\n]\n");
  EXPECT_EQ(GF_FP_Get(channel("s"), 1), 10);
  EXPECT_EQ(GF_FP_Get(channel("s"), 5), 20);
  EXPECT_EQ(GF_FP_Get(channel("s"), -1), 20);
  EXPECT_EQ(GF_FP_Get(channel("c"), 2), 1);
  EXPECT_EQ(GF_FP_Get(channel("fp"), 1), 7);
  EXPECT_EQ(GF_FP_Get(channel("arr"), 1), 2);
  EXPECT_EQ(GF_FP_Get(channel("ints"), 2), 1);  // an I4 stream read as RUN 3 of 1.0
  EXPECT_EQ(GF_FP_Get(channel("empty"), 0), 0);
  EXPECT_EQ(GF_FP_Get(nullptr, 0), 0);

  GFVec2 twice = GF_FP2_Get(channel("s"), 2);
  EXPECT_EQ(twice.x, 20);
  EXPECT_EQ(twice.y, 20);
  GFVec3 constant = GF_FP3_Get(channel("c"), 9);
  EXPECT_EQ(constant.z, 3);
  GFVec3 items = GF_FP3_Get(channel("fp"), 0);
  EXPECT_EQ(items.x, 7);
  EXPECT_EQ(items.y, 9);
  EXPECT_EQ(items.z, 0);  // no third item
  GFVec3 own = GF_FP3_Get(channel("arr"), 2);
  EXPECT_EQ(own.x, 2);  // each item clamps to its own last sample
  EXPECT_EQ(own.y, 6);
  EXPECT_EQ(own.z, 9);
}

constexpr float kDegree = 3.14159265358979f / 180;

TEST_F(ChannelTest, RotationsFollowTheShorterArc) {
  load("wrap FP_C [\nDAT 2 0 6.10865238\nRUN 2 0\nRUN 2 0\n]\n"
       "quarter FP_C [\nDAT 2 0 1.57079633\nRUN 2 0\nRUN 2 0\n]\n"
       "near FP_C [\nDAT 2 0 0.6\nRUN 2 0\nRUN 2 0\n]\n"
       "zero FP 0 0 0\nheading FP 0.5 0 0\npitch FP 0 0.4 0\nbank FP 0 0 0.3\n");
  struct Case {
    const char* name;
    float t;
    GFVec3 expected;
  } cases[] = {
      {"wrap", 0.5f, {0, -5 * kDegree, 0}},
      {"wrap", 1, {0, -10 * kDegree, 0}},
      {"quarter", 0.25f, {0, 0.39269908f, 0}},  // spherical: a quarter of 90 degrees
      {"near", 0.25f, {0, 0.14915148f, 0}},     // within 0.95: blended linearly, not 0.15
      {"zero", 0, {0, 0, 0}},
      {"heading", 0, {0, 0.5f, 0}},
      {"pitch", 0, {0.4f, 0, 0}},
      {"bank", 0, {0, 0, 0.3f}},
  };
  for (const Case& c : cases) {
    GFVec3 r = GF_FP3_Slerp_HPB_To_XYZ(channel(c.name), c.t);
    EXPECT_NEAR(r.x, c.expected.x, 2e-5) << c.name << " " << c.t;
    EXPECT_NEAR(r.y, c.expected.y, 2e-5) << c.name << " " << c.t;
    EXPECT_NEAR(r.z, c.expected.z, 2e-5) << c.name << " " << c.t;
  }
}

using Matrix = double[3][3];

void rotation(int axis, double angle, Matrix& m) {
  double c = std::cos(angle), s = std::sin(angle);
  int a = (axis + 1) % 3, b = (axis + 2) % 3;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = i == j;
  m[a][a] = c;
  m[b][b] = c;
  m[a][b] = -s;
  m[b][a] = s;
}

void product(const Matrix& a, const Matrix& b, Matrix& out) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

// r(first) * r(second) * r(third), each a rotation about an axis (0 x, 1 y, 2 z).
void compose(const int axes[3], const double angles[3], Matrix& out) {
  Matrix a, b, c, ab;
  rotation(axes[0], angles[0], a);
  rotation(axes[1], angles[1], b);
  rotation(axes[2], angles[2], c);
  product(a, b, ab);
  product(ab, c, out);
}

TEST_F(ChannelTest, EulerAnglesDescribeTheHeadingPitchBankRotation) {
  // Heading turns about Y, pitch about X, bank about Z, bank first; the result applies X,
  // then Y, then Z.
  std::mt19937 random(3);
  std::uniform_real_distribution<float> angle(-1.5f, 1.5f);
  for (int i = 0; i < 200; ++i) {
    float h = angle(random), p = angle(random), b = angle(random);
    std::string text = "# one rotation\nr FP " + std::to_string(h) + " " + std::to_string(p) + " " +
                       std::to_string(b) + "\n";
    GFDocumentPtr document = parseGF(text);
    const GFNode* r = GF_Find(GF_Root(document.get()), "r");
    const float* hpb = r->value().floats();
    GFVec3 xyz = GF_FP3_Slerp_HPB_To_XYZ(r, 0);
    Matrix expected, actual;
    const int lightwave[] = {1, 0, 2}, engine[] = {2, 1, 0};
    const double hpbAngles[] = {hpb[0], hpb[1], hpb[2]}, xyzAngles[] = {xyz.z, xyz.y, xyz.x};
    compose(lightwave, hpbAngles, expected);
    compose(engine, xyzAngles, actual);
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col) ASSERT_NEAR(actual[row][col], expected[row][col], 1e-5) << text;
  }
}

}  // namespace
}  // namespace gv::test
