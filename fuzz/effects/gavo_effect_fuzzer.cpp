// Gavo effect file text, read for the default technique and every technique it lists, with
// and without a macro, then every pass interpreted the way the effect builder will.
#include "effects/defs/gavo_effect_loader.h"
#include "effects/defs/pass_interpretation.h"

#include "app/log/log.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void interpretPasses(const gv::CGvEffectDef& def) {
  irr::core::stringc error;
  for (gv::u32 t = 0; t < def.Techniques.size(); ++t) {
    for (gv::u32 p = 0; p < def.Techniques[t].Passes.size(); ++p) {
      const gv::SPass* pass = &def.Techniques[t].Passes[p];
      gv::SPassMaterialPlan plan;
      planPassMaterial(def, pass, {}, -1, nullptr, plan, error);
      irr::video::SMaterial material;
      gv::SPassStates states;
      applyPassStates(def, pass, material, states, error);
    }
  }
  for (gv::u32 i = 0; i < def.Parameters.size(); ++i) {
    irr::core::matrix4 matrix;
    def.getMatrix(&def.Parameters[i], matrix);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gvLogSetLevel(GVLOG_NONE);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const gv::CGvMacro withMacro[] = {{"USE_FOG", "1"}, {"SHADOWS", nullptr}, {nullptr, nullptr}};
  for (const gv::CGvMacro* macros : {static_cast<const gv::CGvMacro*>(nullptr), withMacro}) {
    gv::CGvEffectDefGavo def("/fuzz/input.fx", true);
    if (!gv::readGavoEffectText(def, text, macros)) interpretPasses(def);
  }
  return 0;
}
