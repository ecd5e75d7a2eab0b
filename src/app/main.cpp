// The gavo executable: the entry point with every run mode this build has.
#include "app/entry.h"

int main(int argc, char** argv) {
  ModeOwners owners;  // the mode owners plug in here as their subsystems land
  return gvMain(argc, argv, owners);
}
