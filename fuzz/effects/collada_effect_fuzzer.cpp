// COLLADA FX documents through our bounded XML reader, then every pass interpreted the way the
// effect builder will.
#include "effects/defs/collada_effect_loader.h"
#include "effects/defs/pass_interpretation.h"

#include "app/log/log.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gvLogSetLevel(GVLOG_NONE);
  gv::CGvEffectDefCollada def("/fuzz/input.dae", false);
  gv::readColladaEffects(def, data, size);
  irr::core::stringc error;
  for (gv::u32 t = 0; t < def.Techniques.size(); ++t) {
    for (gv::u32 p = 0; p < def.Techniques[t].Passes.size(); ++p) {
      const gv::SPass* pass = &def.Techniques[t].Passes[p];
      gv::SPassMaterialPlan plan;
      planPassMaterial(def, pass, {}, -1, nullptr, plan, error);
      irr::video::SMaterial material;
      gv::SPassStates states;
      applyPassStates(def, pass, material, states, error);
      for (gv::u32 e = 0; e < pass->Evaluates.size(); ++e) def.findEvaluateParameter(&pass->Evaluates[e]);
    }
  }
  for (gv::u32 i = 0; i < def.Parameters.size(); ++i) {
    const gv::SSampler& s = def.Parameters[i].Sampler;
    gv::wrapModeFromWord(s.WrapS.c_str());
    gv::filtersFromWords(s.MinFilter.c_str(), s.MagFilter.c_str(), s.MipFilter.c_str());
  }
  return 0;
}
