#pragma once
// Demo files written into a temporary folder, with the message boxes they raise recorded.
#include "app/log/log.h"
#include "platform/message_box.h"
#include "resources/files/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gv::test {

inline std::vector<std::string>& demoBoxes() {
  static std::vector<std::string> boxes;
  return boxes;
}

class DemoTest : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    demoBoxes().clear();
    previousBox = platform::setMessageBoxHandler(
        [](const char*, const char* text, platform::BoxIcon) { demoBoxes().push_back(text); });
    usePlainFiles();
    setDirectory("");
  }
  void TearDown() override {
    platform::setMessageBoxHandler(previousBox);
    setDirectory("");
    gvLogReset();
  }
  std::string writeDemo(const std::string& text) { return dir.write("demo/test.demo.ini", text); }
  std::string lastBox() const { return demoBoxes().empty() ? "<no message>" : demoBoxes().back(); }

  TempDir dir;
  platform::MessageBoxHandler previousBox = nullptr;
};

}  // namespace gv::test
