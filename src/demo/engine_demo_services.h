#pragma once
// The engine's side of demo loading: music through the music table; scenes and camera
// effects through their loaders once this build has them.
#include "demo/demo_services.h"

// The services a demo loads with in this build. Scene loading, camera effects and the loading
// screen are not built yet: a part scene or a shader fails to load, saying so.
IGvDemoServices& gvEngineDemoServices();
