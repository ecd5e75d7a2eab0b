// The gavo-gf tool on the example scene: dump and pack round-trip, the scene summary, and
// failures with the loader's message.
#include "gf_test_util.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace gv::test {
namespace {

const std::string kTool = GAVO_GF_TOOL;
const std::string kExample = std::string(GAVO_EXAMPLES_DIR) + "/scenes/first_light.gscn";

// stderrTo: where the tool's standard error goes ("&1" joins it to the output).
CommandResult run(const std::string& arguments, const std::string& stderrTo = "&1") {
  return runCommand(kTool + " " + arguments + " 2>" + stderrTo);
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

TEST(GFToolTest, DumpAndPackRoundTripTheExampleScene) {
  TempDir dir;
  CommandResult dump = run("dump " + kExample, "/dev/null");
  ASSERT_EQ(dump.status, 0);
  std::string dumped = dir.write("dumped.gscn", dump.output);
  std::string packed = dir.file("packed.gavo");
  ASSERT_EQ(run("pack " + kExample + " " + packed).status, 0);
  CommandResult dumpPacked = run("dump " + packed, "/dev/null");
  ASSERT_EQ(dumpPacked.status, 0);
  EXPECT_EQ(dumpPacked.output, dump.output);
  std::string repacked = dir.file("repacked.gavo");
  ASSERT_EQ(run("pack " + dumped + " " + repacked).status, 0);
  EXPECT_EQ(readFile(repacked), readFile(packed));

  GFDocumentPtr original(GF_Load(kExample.c_str()));
  GFDocumentPtr binary(GF_Load(packed.c_str()));
  ASSERT_TRUE(original);
  ASSERT_TRUE(binary);
  EXPECT_EQ(GF_Form(binary.get()), GFForm::Binary);
  EXPECT_EQ(describe(GF_Root(binary.get())), describe(GF_Root(original.get())));
}

TEST(GFToolTest, SummarisesTheScene) {
  CommandResult scene = run("scene " + kExample);
  EXPECT_EQ(scene.status, 0);
  EXPECT_EQ(scene.output,
            "frames: 0 to 96, step 1\n"
            "frames per second: 24\n"
            "cameras: 1\n"
            "lights: 2\n"
            "objects: 2\n"
            "emitters: 1\n"
            "cube maps: 0\n"
            "post passes: 1\n"
            "render commands: 0\n"
            "audio: none\n");
}

TEST(GFToolTest, FailuresExitNonZeroWithTheLoadersMessage) {
  TempDir dir;
  std::string bad = dir.write("bad.gscn", "# a broken file\n}\n");
  CommandResult dump = run("dump " + bad, "&1 >/dev/null");
  EXPECT_EQ(dump.status, 1);
  EXPECT_EQ(dump.output, "line 2: too many }\n\ngavo-gf: cannot read '" + bad + "' as a GF file\n");
  EXPECT_EQ(run("scene " + bad).status, 1);
  std::string empty = dir.write("empty.gscn", "# nothing but a comment\n");
  EXPECT_EQ(run("pack " + empty + " " + dir.file("out.gavo")).status, 1);
  EXPECT_EQ(run("pack " + kExample + " " + dir.file("missing/out.gavo")).status, 1);
  EXPECT_EQ(run("frobnicate").status, 2);
}

}  // namespace
}  // namespace gv::test
