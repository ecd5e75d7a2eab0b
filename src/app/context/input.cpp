#include "app/context/input.h"

#include "app/context/engine.h"

bool MyEventReceiver::OnEvent(const irr::SEvent& event) {
  if (!gvEngine().device) return false;
  switch (event.EventType) {
    case irr::EET_KEY_INPUT_EVENT: {
      // Irrlicht reports keys it cannot name with codes past the table; they are not kept.
      unsigned key = static_cast<unsigned>(event.KeyInput.Key);
      if (key < kEscapeEverPressed) record_.keys[key] = event.KeyInput.PressedDown ? 1 : 0;
      record_.keys[kKeyShift] = event.KeyInput.Shift ? 1 : 0;
      if (record_.keys[kKeyEscape]) record_.keys[kEscapeEverPressed] = 1;
      break;
    }
    case irr::EET_MOUSE_INPUT_EVENT:
      if (event.MouseInput.Event == irr::EMIE_MOUSE_WHEEL) record_.wheel += event.MouseInput.Wheel;
      record_.mouseX = event.MouseInput.X;
      record_.mouseY = event.MouseInput.Y;
      record_.leftButton = (event.MouseInput.ButtonStates & 1) ? 1 : 0;
      record_.rightButton = (event.MouseInput.ButtonStates & 2) ? 1 : 0;
      break;
    case irr::EET_USER_EVENT:
      if (event.UserEvent.UserData1 == kUserValueEventCode)
        record_.userValue = static_cast<irr::s32>(event.UserEvent.UserData2);
      break;
    case irr::EET_JOYSTICK_INPUT_EVENT:
      if (event.JoystickEvent.Joystick == 0) {
        record_.joystickButtons = event.JoystickEvent.ButtonStates;
        for (int axis = 0; axis < irr::SEvent::SJoystickEvent::NUMBER_OF_AXES; ++axis)
          record_.joystickAxes[axis] = event.JoystickEvent.Axis[axis];
        record_.joystickHat = event.JoystickEvent.POV;
      }
      break;
    default:
      break;
  }
  return false;
}

MyEventReceiver& gvEventReceiver() {
  static MyEventReceiver receiver;
  return receiver;
}
