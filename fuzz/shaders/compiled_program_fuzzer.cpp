// A compiled program file (SPIR-V) from the compiled-shader cache, damaged or forged: the
// check every cache read makes, then translation to GLSL for both stages, as a material
// built from it would. Nothing may crash; translation may refuse.
#include <cstdint>
#include <cstring>

#include "engine/hlsl/glsl_translation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size % 4 != 0) return 0;  // the cache refuses such files before anything parses them
  gv::engine::ShaderCode code(size / 4);
  if (size) std::memcpy(code.data(), data, size);
  if (!gv::engine::isValidSpirvModule(code)) return 0;
  for (bool isVertex : {true, false}) {
    gv::engine::STranslatedShader shader;
    std::string errors;
    gv::engine::translateToGLSL(code, isVertex, shader, &errors);
  }
  return 0;
}
