// Input commands: keyboard, mouse and joystick, read from the engine's input record.
#include "app/context/engine.h"
#include "app/context/input.h"
#include "engine/window.h"
#include "script/command.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace gv::script {
namespace {

const SGvInputRecord& input() { return gvEventReceiver().record(); }

bool keyDown(int code) { return code >= 0 && code <= 255 && input().keys[code] != 0; }

int pushKey(lua_State* L, bool down) {
  lua_pushboolean(L, down);
  return finishCommand(L, 1);
}

template <int Code>
int key(lua_State* L) {
  requireSetup(L);
  return pushKey(L, keyDown(Code));
}

template <int Code, int OtherCode>
int eitherKey(lua_State* L) {
  requireSetup(L);
  return pushKey(L, keyDown(Code) || keyDown(OtherCode));
}

int KeyState(lua_State* L) {
  requireSetup(L);
  return pushKey(L, keyDown(checkInt(L, 1)));
}

int pushInteger(lua_State* L, lua_Integer value) {
  lua_pushinteger(L, value);
  return finishCommand(L, 1);
}

// With a window the system cursor is read directly; otherwise the last mouse event's.
std::optional<gv::engine::CursorPosition> cursor() { return gv::engine::cursorInClientArea(gvEngine().driver); }

int MouseX(lua_State* L) {
  requireSetup(L);
  std::optional<gv::engine::CursorPosition> position = cursor();
  return pushInteger(L, position ? position->x : input().mouseX);
}

int MouseY(lua_State* L) {
  requireSetup(L);
  std::optional<gv::engine::CursorPosition> position = cursor();
  return pushInteger(L, position ? position->y : input().mouseY);
}

int MouseZ(lua_State* L) {
  requireSetup(L);
  return pushInteger(L, static_cast<lua_Integer>(std::trunc(input().wheel)));
}

int MouseClick(lua_State* L) {
  requireSetup(L);
  return pushInteger(L, input().leftButton + 2 * input().rightButton);
}

int setMouseVisible(lua_State* L, bool visible) {
  requireSetup(L);
  gvEngine().device->getCursorControl()->setVisible(visible);
  return finishCommand(L, 0);
}

int ShowMouse(lua_State* L) { return setMouseVisible(L, true); }
int HideMouse(lua_State* L) { return setMouseVisible(L, false); }

// Joysticks: the device reads them once activated and posts their state as events.
bool joystickOn = false;
irr::core::array<irr::SJoystickInfo> joysticks;

int EnableJoystick(lua_State* L) {
  requireSetup(L);
  gvEngine().device->activateJoysticks(joysticks);
  joystickOn = true;
  return finishCommand(L, 0);
}

int DisableJoystick(lua_State* L) {
  requireSetup(L);
  joystickOn = false;
  return finishCommand(L, 0);
}

int JoystickIsPresent(lua_State* L) {
  requireSetup(L);
  return pushKey(L, joystickOn && joysticks.size() > 0);
}

constexpr int kDeadZone = 1500;

template <int Axis>
int joystickAxis(lua_State* L) {
  requireSetup(L);
  int value = input().joystickAxes[Axis];
  return pushInteger(L, joystickOn && std::abs(value) >= kDeadZone ? value : 0);
}

bool buttonDown(int button) { return joystickOn && button >= 0 && button < 32 && ((input().joystickButtons >> button) & 1); }

template <int Button>
int joystickFire(lua_State* L) {
  requireSetup(L);
  return pushKey(L, buttonDown(Button));
}

int JoystickFireX(lua_State* L) {
  requireSetup(L);
  return pushKey(L, buttonDown(checkInt(L, 1)));
}

constexpr irr::u16 kHatCentred = 65535;

// Whether the hat points within 90 degrees of the direction (degrees clockwise from up).
bool hatTowards(int direction) {
  if (!joystickOn || input().joystickHat == kHatCentred) return false;
  int difference = input().joystickHat / 100 - direction;
  if (difference > 180) difference -= 360;
  if (difference < -180) difference += 360;
  return std::abs(difference) < 90;
}

template <int Direction>
int joystickHat(lua_State* L) {
  requireSetup(L);
  return pushKey(L, hatTowards(Direction));
}

using Axis = irr::SEvent::SJoystickEvent;

}  // namespace

const luaL_Reg kInputCommands[] = {
    {"EscapeKey", key<kKeyEscape>},
    {"EscapeKeyEverPressed", key<kEscapeEverPressed>},
    {"ReturnKey", key<13>},
    {"SpaceKey", key<32>},
    {"ShiftKey", key<kKeyShift>},
    {"RightKey", key<39>},
    {"LeftKey", key<37>},
    {"UpKey", key<38>},
    {"DownKey", key<40>},
    {"MinusKey", eitherKey<189, 109>},
    {"PlusKey", eitherKey<187, 107>},
    {"KeyState", KeyState},
    {"MouseClick", MouseClick},
    {"MouseX", MouseX},
    {"MouseY", MouseY},
    {"MouseZ", MouseZ},
    {"ShowMouse", ShowMouse},
    {"HideMouse", HideMouse},
    {"EnableJoystick", EnableJoystick},
    {"DisableJoystick", DisableJoystick},
    {"JoystickIsPresent", JoystickIsPresent},
    {"JoystickUp", joystickHat<0>},
    {"JoystickRight", joystickHat<90>},
    {"JoystickDown", joystickHat<180>},
    {"JoystickLeft", joystickHat<270>},
    {"JoystickX", joystickAxis<Axis::AXIS_X>},
    {"JoystickY", joystickAxis<Axis::AXIS_Y>},
    {"JoystickZ", joystickAxis<Axis::AXIS_Z>},
    {"JoystickR", joystickAxis<Axis::AXIS_R>},
    {"JoystickU", joystickAxis<Axis::AXIS_U>},
    {"JoystickV", joystickAxis<Axis::AXIS_V>},
    {"JoystickFireA", joystickFire<0>},
    {"JoystickFireB", joystickFire<1>},
    {"JoystickFireC", joystickFire<2>},
    {"JoystickFireD", joystickFire<3>},
    {"JoystickFireX", JoystickFireX},
    {nullptr, nullptr},
};

}  // namespace gv::script
