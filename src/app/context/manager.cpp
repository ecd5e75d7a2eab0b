#include "app/context/manager.h"

CGvManager::CGvManager(irr::IrrlichtDevice* device)
    : gpu_(std::make_unique<gv::CGvGPUProgrammingServices>(device)) {}

// No service of this build lives on the device in a way a reset could take away: OpenGL
// contexts are not reset or lost the way Direct3D 9 devices are.
void CGvManager::onDeviceReset(void*) {}
