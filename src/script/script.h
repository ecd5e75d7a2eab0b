#pragma once
// Runs Lua scripts that drive the engine through the command library "gv".
#include <string>

struct lua_State;

// Runs the script in a fresh interpreter, then ends the engine the script may have started.
// The process moves into the script's directory first. With fromEngineFiles the script is
// read through the file layer (a packaged script); otherwise from disk. An error prints its
// message and a traceback on standard error. Returns 0, or the interpreter's error status
// (-1 when a packaged script cannot be read).
int runScript(const std::string& path, bool fromEngineFiles);

// A fresh interpreter with the standard libraries and the command library, as scripts get
// it. The caller closes it.
lua_State* gvNewScriptState();
