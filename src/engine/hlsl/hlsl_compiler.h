#pragma once
// HLSL Shader Model 3 programs compiled for OpenGL: the HLSL text goes through glslang's HLSL
// front end (Direct3D 9 compatible) to SPIR-V, which is the program's compiled code.
#include <irrlicht.h>

#include <cstdint>
#include <string>
#include <vector>

#include "effects/defs/effect_def.h"

namespace gv::engine {

// SPIR-V words: what a compile produces and what the compiled-shader cache stores.
using ShaderCode = std::vector<std::uint32_t>;

// Supplies the files named by #include. The compiler calls Open for each directive it meets
// (name as written) and Close when it is done with that data.
class IIncludeCallback {
 public:
  virtual ~IIncludeCallback() = default;
  virtual bool Open(const char* name, const void** data, irr::u32* size) = 0;
  virtual void Close(const void* data) = 0;
};

// Compiles `source` (terminated) with the entry function `entry`. `macros` is a list ending with
// an entry whose Name is null, or null. `sourceName` only labels the compiler's messages. On
// failure `errors` (when given) receives the compiler's message; without it the message is
// logged. Any number of macros is accepted.
bool compileHLSLVertexShader(const char* source, const char* entry,
                             irr::video::E_VERTEX_SHADER_TYPE target, const CGvMacro* macros,
                             IIncludeCallback* includes, ShaderCode& code, std::string* errors,
                             const char* sourceName = "");
bool compileHLSLPixelShader(const char* source, const char* entry,
                            irr::video::E_PIXEL_SHADER_TYPE target, const CGvMacro* macros,
                            IIncludeCallback* includes, ShaderCode& code, std::string* errors,
                            const char* sourceName = "");

// Effect-file constructs the HLSL front end does not parse (global texture declarations,
// sampler_state initialisers, technique blocks) replaced by blanks. Line breaks stay, so the
// compiler's line numbers still match the file.
std::string blankEffectConstructs(const std::string& source);

}  // namespace gv::engine
