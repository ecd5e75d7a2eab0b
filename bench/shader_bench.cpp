// Compiling an HLSL program pair to GLSL against only translating the pair's compiled code
// (what a compiled-shader cache hit leaves to do before the OpenGL link).
#include "baseline.h"
#include "engine/hlsl/glsl_translation.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace gv::engine;

struct SPair {
  ShaderCode vertex, pixel;
};

const std::string& source() {
  static const std::string text = [] {
    std::ifstream file(std::string(GAVO_SHADER_FIXTURES) + "/link.hlsl");
    std::ostringstream all;
    all << file.rdbuf();
    return all.str();
  }();
  return text;
}

SPair compilePair(const gv::CGvMacro* macros) {
  SPair pair;
  std::string errors;
  compileHLSLVertexShader(source().c_str(), "vsMain", irr::video::EVST_VS_3_0, macros, nullptr,
                          pair.vertex, &errors);
  compileHLSLPixelShader(source().c_str(), "psMain", irr::video::EPST_PS_3_0, macros, nullptr,
                         pair.pixel, &errors);
  return pair;
}

void translatePair(const SPair& pair) {
  STranslatedShader vertex, pixel;
  translateToGLSL(pair.vertex, true, vertex, nullptr);
  translateToGLSL(pair.pixel, false, pixel, nullptr);
  matchInterpolators(vertex.Glsl, pixel.Glsl);
  benchmark::DoNotOptimize(pixel.Glsl.data());
}

// A cold pair (HLSL to GLSL); the counter says how many times slower it is than translating
// already compiled code.
void compileAndCompare(benchmark::State& state, const gv::CGvMacro* macros) {
  const SPair cached = compilePair(macros);
  gv::bench::Stopwatch watch;
  for (auto _ : state) translatePair(compilePair(macros));
  const double coldRate = static_cast<double>(state.iterations()) / watch.seconds();
  state.counters["vs_cached_translate"] =
      gv::bench::runsPerSecond([&] { translatePair(cached); }) / coldRate;
}

void BM_CompilePairNoMacros(benchmark::State& state) { compileAndCompare(state, nullptr); }
BENCHMARK(BM_CompilePairNoMacros)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompilePairMrt(benchmark::State& state) {
  const gv::CGvMacro mrt[] = {{"MRT", "1"}, {nullptr, nullptr}};
  compileAndCompare(state, mrt);
}
BENCHMARK(BM_CompilePairMrt)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
