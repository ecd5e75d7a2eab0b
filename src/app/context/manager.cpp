#include "app/context/manager.h"

// No service of this build lives on the device in a way a reset could take away: OpenGL
// contexts are not reset or lost the way Direct3D 9 devices are.
void CGvManager::onDeviceReset(void*) {}
