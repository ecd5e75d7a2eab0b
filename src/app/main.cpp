// The gavo executable: the entry point with every run mode this build has.
#include "app/entry.h"
#include "app/package_modes.h"

int main(int argc, char** argv) {
  ModeOwners owners;  // the mode owners plug in here as their subsystems land
  owners.build = gvRunBuildOption;
  owners.extract = gvExtractPackage;
  owners.packagedPlayer = [&owners](const std::string& executable) { return gvPlayPackage(executable, owners); };
  return gvMain(argc, argv, owners);
}
