// HLSL program pairs made into OpenGL material types through the shader services: a cold pair
// (compile, translate, link), the same pair with another macro set in the same run, and a
// compiled-shader cache hit (read, translate, link). Needs an OpenGL display (xvfb-run).
#include "baseline.h"
#include "effects/shaders/gpu_programming_services.h"
#include "effects/shaders/shader_cache.h"
#include "engine/device.h"
#include "platform/process.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

const std::string kMedium = std::string(GAVO_BENCH_SHADERS) + "/medium.hlsl";

irr::IrrlichtDevice* openGLDevice() {
  static irr::IrrlichtDevice* device = [] {
    if (!gv::platform::hasDisplay()) return static_cast<irr::IrrlichtDevice*>(nullptr);
    irr::SIrrlichtCreationParameters parameters;
    parameters.DriverType = irr::video::EDT_OPENGL;
    parameters.WindowSize = {64, 64};
    return gv::engine::createDevice(parameters);
  }();
  return device;
}

irr::s32 makeMaterial(gv::CGvGPUProgrammingServices& services, const gv::CGvMacro* macros) {
  return services.addShaderMaterialFromFiles(kMedium.c_str(), "vsMain", irr::video::EVST_VS_3_0,
                                             kMedium.c_str(), "psMain", irr::video::EPST_PS_3_0,
                                             nullptr, irr::video::EMT_SOLID, 0, macros, nullptr);
}

// A fresh set of services (nothing compiled yet) over the given cache.
std::unique_ptr<gv::CGvGPUProgrammingServices> services(const std::string& cache, int mode) {
  auto result = std::make_unique<gv::CGvGPUProgrammingServices>(openGLDevice());
  result->setCacheDirectory(cache, mode);
  return result;
}

void coldPair() {
  if (makeMaterial(*services("", 0), nullptr) < 0) std::abort();
}

void BM_ColdPair(benchmark::State& state) {
  if (!openGLDevice()) return state.SkipWithError("no OpenGL display: run under xvfb-run");
  for (auto _ : state) coldPair();
}
BENCHMARK(BM_ColdPair)->Unit(benchmark::kMillisecond)->UseRealTime();

// Programs already compiled with other macros in the same run do not help: the pair compiles.
void BM_PairWithAnotherMacroSet(benchmark::State& state) {
  if (!openGLDevice()) return state.SkipWithError("no OpenGL display: run under xvfb-run");
  auto shared = services("", 0);
  makeMaterial(*shared, nullptr);
  int serial = 0;
  for (auto _ : state) {
    const std::string value = std::to_string(++serial % 1000 / 1000.0);
    const gv::CGvMacro macros[] = {{"DESATURATE", value.c_str()}, {nullptr, nullptr}};
    if (makeMaterial(*shared, macros) < 0) std::abort();
  }
}
BENCHMARK(BM_PairWithAnotherMacroSet)->Unit(benchmark::kMillisecond)->UseRealTime();

// A later start finding both programs in the cache; "vs_cold_pair" says how many times faster
// that is than compiling the pair.
void BM_CacheHit(benchmark::State& state) {
  if (!openGLDevice()) return state.SkipWithError("no OpenGL display: run under xvfb-run");
  const std::string cache = std::filesystem::temp_directory_path() / "gavo-shader-bench-cache";
  std::filesystem::create_directories(cache);
  makeMaterial(*services(cache, gv::ESCM_WRITE), nullptr);
  gv::bench::Stopwatch watch;
  for (auto _ : state)
    if (makeMaterial(*services(cache, gv::ESCM_READ | gv::ESCM_CHECK_TIMES), nullptr) < 0)
      std::abort();
  const double hitRate = static_cast<double>(state.iterations()) / watch.seconds();
  state.counters["vs_cold_pair"] = hitRate / gv::bench::runsPerSecond(coldPair, 1.0);
  std::filesystem::remove_all(cache);
}
BENCHMARK(BM_CacheHit)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
