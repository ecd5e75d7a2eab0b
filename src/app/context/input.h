#pragma once
// The input record: the latest keyboard, mouse, wheel, joystick and user-event state, kept
// by the engine's event receiver from the events the device delivers while it runs. Scripts,
// the demo player and the viewers poll it.
#include <irrlicht.h>

#include <cstdint>

// Key states are indexed by the Windows virtual-key codes, which Irrlicht's key codes are.
enum : int {
  kKeyShift = 16,
  kKeyEscape = 27,
  kEscapeEverPressed = 255,  // the one key-state slot that is not a key
};
constexpr irr::s32 kUserValueEventCode = 0x7000;

struct SGvInputRecord {
  std::uint8_t leftButton = 0;
  std::uint8_t rightButton = 0;
  irr::s32 mouseX = 0;
  irr::s32 mouseY = 0;
  irr::f32 wheel = 0;  // sum of every wheel delta received
  irr::s32 userValue = 0x0FFFFFFF;
  std::uint8_t keys[256] = {};
  // The last event of joystick 0. The hat starts centred, so that no direction reads as
  // pressed before a joystick has spoken.
  irr::u32 joystickButtons = 0;
  irr::s16 joystickAxes[irr::SEvent::SJoystickEvent::NUMBER_OF_AXES] = {};
  irr::u16 joystickHat = 65535;
};

class MyEventReceiver final : public irr::IEventReceiver {
 public:
  // Updates the record while the engine has a device; always false, so the GUI still gets
  // every event.
  bool OnEvent(const irr::SEvent& event) override;
  const SGvInputRecord& record() const { return record_; }

 private:
  SGvInputRecord record_;
};

// The receiver the engine installs on its device; it lives as long as the process.
MyEventReceiver& gvEventReceiver();
