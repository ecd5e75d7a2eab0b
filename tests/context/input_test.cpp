#include "app/context/input.h"

#include "app/context/engine.h"
#include "app/log/log.h"

#include <gtest/gtest.h>
#include <cstdlib>

namespace {

irr::SEvent keyEvent(irr::EKEY_CODE key, bool down, bool shift = false) {
  irr::SEvent e{};
  e.EventType = irr::EET_KEY_INPUT_EVENT;
  e.KeyInput.Key = key;
  e.KeyInput.PressedDown = down;
  e.KeyInput.Shift = shift;
  return e;
}

irr::SEvent mouseEvent(irr::EMOUSE_INPUT_EVENT kind, int x, int y, irr::u32 buttons, float wheel = 0) {
  irr::SEvent e{};
  e.EventType = irr::EET_MOUSE_INPUT_EVENT;
  e.MouseInput.Event = kind;
  e.MouseInput.X = x;
  e.MouseInput.Y = y;
  e.MouseInput.ButtonStates = buttons;
  e.MouseInput.Wheel = wheel;
  return e;
}

irr::SEvent userEvent(irr::s32 code, irr::s32 value) {
  irr::SEvent e{};
  e.EventType = irr::EET_USER_EVENT;
  e.UserEvent.UserData1 = code;
  e.UserEvent.UserData2 = value;
  return e;
}

class InputRecordTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv(kNullDriverVariable, "1", 1);
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    ASSERT_EQ(gvEngineStart(SGvSetupParams{}), 0);
  }
  void TearDown() override {
    gvEngineStop();
    gvLogReset();
  }
  const SGvInputRecord& record() const { return receiver.record(); }
  void feed(const irr::SEvent& event) { EXPECT_FALSE(receiver.OnEvent(event)); }

  MyEventReceiver receiver;
};

TEST_F(InputRecordTest, EscapeStaysEverPressedAfterRelease) {
  feed(keyEvent(irr::KEY_ESCAPE, true));
  EXPECT_EQ(record().keys[kKeyEscape], 1);
  feed(keyEvent(irr::KEY_ESCAPE, false));
  EXPECT_EQ(record().keys[kKeyEscape], 0);
  EXPECT_EQ(record().keys[kEscapeEverPressed], 1);
  feed(keyEvent(irr::KEY_KEY_A, true));
  EXPECT_EQ(record().keys[kEscapeEverPressed], 1);
}

TEST_F(InputRecordTest, EveryKeyEventCarriesTheShiftState) {
  feed(keyEvent(irr::KEY_KEY_A, true, true));
  EXPECT_EQ(record().keys[irr::KEY_KEY_A], 1);
  EXPECT_EQ(record().keys[kKeyShift], 1);
  feed(keyEvent(irr::KEY_SPACE, false, false));
  EXPECT_EQ(record().keys[kKeyShift], 0);
  EXPECT_EQ(record().keys[irr::KEY_KEY_A], 1);
  // Codes beyond the table (keys Irrlicht cannot name) never touch the escape flag.
  feed(keyEvent(static_cast<irr::EKEY_CODE>(255), true));
  feed(keyEvent(static_cast<irr::EKEY_CODE>(300), true));
  EXPECT_EQ(record().keys[kEscapeEverPressed], 0);
}

TEST_F(InputRecordTest, WheelDeltasAddUpAndEveryMouseEventMovesTheCursor) {
  feed(mouseEvent(irr::EMIE_MOUSE_WHEEL, 5, 6, 0, 1.0f));
  feed(mouseEvent(irr::EMIE_MOUSE_WHEEL, 7, 8, 0, 1.5f));
  feed(mouseEvent(irr::EMIE_MOUSE_WHEEL, 7, 8, 0, -0.25f));
  EXPECT_FLOAT_EQ(record().wheel, 2.25f);
  feed(mouseEvent(irr::EMIE_MOUSE_MOVED, 100, 50, irr::EMBSM_LEFT | irr::EMBSM_RIGHT, 9.0f));
  EXPECT_FLOAT_EQ(record().wheel, 2.25f);  // only wheel events count
  EXPECT_EQ(record().mouseX, 100);
  EXPECT_EQ(record().mouseY, 50);
  EXPECT_EQ(record().leftButton, 1);
  EXPECT_EQ(record().rightButton, 1);
  feed(mouseEvent(irr::EMIE_RMOUSE_LEFT_UP, 1, 2, irr::EMBSM_LEFT));
  EXPECT_EQ(record().rightButton, 0);
}

TEST_F(InputRecordTest, UserValueAndJoystickZero) {
  EXPECT_EQ(record().userValue, 0x0FFFFFFF);
  feed(userEvent(0x7001, 5));
  EXPECT_EQ(record().userValue, 0x0FFFFFFF);
  feed(userEvent(0x7000, 1234));
  EXPECT_EQ(record().userValue, 1234);

  irr::SEvent j{};
  j.EventType = irr::EET_JOYSTICK_INPUT_EVENT;
  j.JoystickEvent.Joystick = 1;
  j.JoystickEvent.ButtonStates = 5;
  feed(j);
  EXPECT_EQ(record().joystickButtons, 0u);  // only joystick 0 counts
  EXPECT_EQ(record().joystickHat, 65535);
  j.JoystickEvent.Joystick = 0;
  j.JoystickEvent.Axis[irr::SEvent::SJoystickEvent::AXIS_V] = -1500;
  j.JoystickEvent.POV = 4500;
  feed(j);
  EXPECT_EQ(record().joystickButtons, 5u);
  EXPECT_EQ(record().joystickAxes[irr::SEvent::SJoystickEvent::AXIS_V], -1500);
  EXPECT_EQ(record().joystickHat, 4500);
}

TEST(InputRecord, EventsAreIgnoredWithoutAnEngine) {
  MyEventReceiver receiver;
  EXPECT_FALSE(receiver.OnEvent(keyEvent(irr::KEY_ESCAPE, true)));
  EXPECT_EQ(receiver.record().keys[kKeyEscape], 0);
}

}  // namespace
