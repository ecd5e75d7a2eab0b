#pragma once
// The program's entry: records where the executable lives, reads the command line, picks the
// run mode and hands control to its owner.
#include "app/run_modes.h"

// Exit statuses of the program.
enum : int {
  GV_EXIT_OK = 0,
  GV_EXIT_MODE_FAILED = 1,  // a run mode or a build option ran and failed
  GV_EXIT_STARTUP = -1,     // bad start-up, unsupported file, cancelled dialog, no engine
};

// Fills the start-up record from the process; false when the executable path is unknown.
bool gvSysInit(int argc, const char* const* argv, StartupRecord& record);

// Runs the program for a start-up record and returns the exit status.
int gvRunCommandLine(const StartupRecord& record, const ModeOwners& owners);

// gvSysInit followed by gvRunCommandLine.
int gvMain(int argc, const char* const* argv, const ModeOwners& owners);

// The usage text printed when no file is named and no dialog can ask for one.
const char* gvUsageText();
