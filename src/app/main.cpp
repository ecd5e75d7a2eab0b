// The gavo executable: the entry point with every run mode this build has.
#include "app/context/settings.h"
#include "app/entry.h"
#include "app/package_modes.h"
#include "script/script.h"

int main(int argc, char** argv) {
  ModeOwners owners;  // the mode owners plug in here as their subsystems land
  owners.startEngine = [](const EngineStartRequest& r) {
    return gvSetupFromSettings(r.settingsFile, r.baseDirectory, r.display, r.dialogAllowed);
  };
  owners.stopEngine = gvEngineStop;
  owners.scriptRunner = runScript;
  owners.build = gvRunBuildOption;
  owners.extract = gvExtractPackage;
  owners.packagedPlayer = [&owners](const std::string& executable) { return gvPlayPackage(executable, owners); };
  return gvMain(argc, argv, owners);
}
