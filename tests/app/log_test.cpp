#include "app/log/log.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Box {
  std::string title, text;
};
std::vector<Box> boxes;

void recordBox(const char* title, const char* text, gv::platform::BoxIcon) { boxes.push_back({title, text}); }

class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    boxes.clear();
    previous = gv::platform::setMessageBoxHandler(recordBox);
    testing::internal::CaptureStdout();
  }
  void TearDown() override {
    testing::internal::GetCapturedStdout();
    gv::platform::setMessageBoxHandler(previous);
    gvLogReset();
  }
  std::string takeStdout() {
    std::string out = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    return out;
  }
  gv::platform::MessageBoxHandler previous = nullptr;
};

TEST_F(LogTest, ThresholdRecordAndBoxActIndependently) {
  struct Case {
    std::uint32_t flags;
    std::int32_t threshold;
    bool boxesOn;
    const char* printed;  // the stdout text, "" when nothing is printed
    bool recorded;
    bool boxed;
  } cases[] = {
      {GVLOG_DEBUG, GVLOG_INFO, true, "", false, false},
      {GVLOG_DEBUG | GVLOG_RECORD, GVLOG_INFO, true, "", true, false},
      {GVLOG_INFO, GVLOG_INFO, true, "INFO : msg\n\n", false, false},
      {GVLOG_WARN | GVLOG_BOX, GVLOG_NONE, true, "", false, true},
      {GVLOG_ERROR | GVLOG_BOX, GVLOG_WARN, false, "ERROR : msg\n\n", false, false},
      {GVLOG_ERROR | GVLOG_RECORD | GVLOG_BOX, GVLOG_INFO, true, "ERROR : msg\n\n", true, true},
      {GVLOG_NONE, GVLOG_NONE, true, "NONE : msg\n\n", false, false},
      {5, GVLOG_INFO, true, "??? : msg\n\n", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << std::hex << c.flags << " threshold " << c.threshold);
    gvLogReset();
    boxes.clear();
    gvLogSetLevel(c.threshold);
    if (!c.boxesOn) gvLogDisableBoxes();
    gvLog(c.flags, "%s", "msg");
    EXPECT_EQ(takeStdout(), c.printed);
    std::int32_t value = 0;
    EXPECT_EQ(gvLogLastError(&value) != nullptr, c.recorded);
    EXPECT_EQ(boxes.size(), c.boxed ? 1u : 0u);
  }
}

TEST_F(LogTest, ErrorHelpersCarryTheirFlagsAndValues) {
  gvLogError("File format of '%s' is not supported", "x.unknown");
  EXPECT_EQ(takeStdout(), "ERROR : File format of 'x.unknown' is not supported\n\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Gavo");
  EXPECT_EQ(boxes[0].text, "File format of 'x.unknown' is not supported");
  std::int32_t value = 0;
  EXPECT_EQ(gvLogLastError(&value), nullptr);
  EXPECT_EQ(value, -1);

  gvLogErrorId(7, "Light ID %d does not exist. %s", 7, "");
  ASSERT_NE(gvLogLastError(&value), nullptr);
  EXPECT_STREQ(gvLogLastError(&value), "Light ID 7 does not exist. ");
  EXPECT_EQ(value, 7);
  EXPECT_EQ(boxes.size(), 1u);

  gvLogErrorIdBox(3, "Failed to setup music replay");
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_STREQ(gvLogLastError(&value), "Failed to setup music replay");
  EXPECT_EQ(value, 3);
}

TEST_F(LogTest, ClearedLastErrorReadsAsNoneThoughItsTextStays) {
  gvLogErrorId(4, "bad");
  gvLogClearLastError();
  std::int32_t value = 0;
  EXPECT_EQ(gvLogLastError(&value), nullptr);
  EXPECT_EQ(value, -1);
}

TEST_F(LogTest, LongMessagesAreCutAt1023CharactersEverywhere) {
  std::string long_text(2000, 'a');
  gvLogErrorId(1, "%s", long_text.c_str());
  EXPECT_EQ(takeStdout(), "ERROR : " + std::string(1023, 'a') + "\n\n");
  EXPECT_EQ(std::string(gvLogLastError(nullptr)), std::string(1023, 'a'));

  gvPrint("%s", long_text.c_str());
  EXPECT_EQ(takeStdout(), std::string(1023, 'a') + "\n");
  gvMessageBox("%s", long_text.c_str());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text.size(), 1023u);
  gvSetStartupError("%s", long_text.c_str());
  EXPECT_EQ(std::string(gvStartupError()).size(), 1023u);
}

TEST_F(LogTest, UserLogSettingsPrintErrorsWithoutBoxesAndHideInfo) {
  gvLogSetLevel(GVLOG_WARN);
  gvLogDisableBoxes();
  gvLogError("Failed to load scene");
  gvLog(GVLOG_INFO, "Loaded");
  EXPECT_EQ(takeStdout(), "ERROR : Failed to load scene\n\n");
  EXPECT_TRUE(boxes.empty());
  gvMessageBox("shown anyway");
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(LogTest, MessageBoxesHideAndShowTheEngineWindowAroundThemselves) {
  static std::vector<std::string> events;
  events.clear();
  GvLogWindowHooks hooks;
  hooks.hide = [] { events.push_back("hide"); };
  hooks.show = [] { events.push_back("show:" + std::to_string(boxes.size())); };
  gvLogSetWindowHooks(hooks);
  gvMessageBox("hello %d", 1);
  EXPECT_EQ(events, (std::vector<std::string>{"hide", "show:1"}));
}

TEST_F(LogTest, FileProblemBoxNamesTheFileAndTheSystemReason) {
  errno = ENOENT;
  gvFileProblemBox("Cannot detect changes in folder", "shaders");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "File Operation Problem");
  EXPECT_EQ(boxes[0].text, "Cannot detect changes in folder\nFile: 'shaders'\nSystem reports: No such file or directory");
}

TEST_F(LogTest, PrintAndPlaySyncReachTheDebugChannel) {
  setenv("GAVO_DEBUG_CHANNEL", "1", 1);
  testing::internal::CaptureStderr();
  gvPrint("Loaded Music %s", "a.mp3");
  gvPlaySyncMarker();
  std::string channel = testing::internal::GetCapturedStderr();
  unsetenv("GAVO_DEBUG_CHANNEL");
  EXPECT_EQ(channel, "Loaded Music a.mp3PLAYSYNC");
  EXPECT_EQ(takeStdout(), "Loaded Music a.mp3\n");
}

TEST_F(LogTest, StartupAndResourceErrorTextsAreKeptApart) {
  gvSetResourceError("Failed to load %s", "shaders/light.fx");
  gvSetStartupError("Failed to create device");
  EXPECT_STREQ(gvResourceError(), "Failed to load shaders/light.fx");
  EXPECT_STREQ(gvStartupError(), "Failed to create device");
}

}  // namespace
