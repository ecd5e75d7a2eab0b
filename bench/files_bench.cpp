// Reading through the file-access layer against reading the same file with stdio directly.
#include "baseline.h"
#include "app/log/log.h"
#include "resources/files/files.h"
#include "support/temp_dir.h"
#include "support/zip_fixture.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <irrlicht.h>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 16 << 20;

struct Fixture {
  gv::test::TempDir dir;
  std::string path;
  std::vector<char> buffer = std::vector<char>(kFileSize);
  Fixture() {
    gvLogSetLevel(GVLOG_NONE);
    path = dir.write("data.bin", std::string(kFileSize, 'g'));
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void readRaw() {
  std::FILE* file = std::fopen(fixture().path.c_str(), "rb");
  std::size_t got = std::fread(fixture().buffer.data(), 1, kFileSize, file);
  std::fclose(file);
  benchmark::DoNotOptimize(got);
}

void readThroughLayer(const std::string& path) {
  gv::FileStreamPtr file = gv::openFile(path, "rb");
  std::size_t got = file->read(fixture().buffer.data(), 1, kFileSize);
  benchmark::DoNotOptimize(got);
}

// Reads the file through the layer for the benchmark, then reports the speed as a ratio
// against stdio measured right after.
void readAndCompare(benchmark::State& state) {
  fixture();
  gv::bench::Stopwatch watch;
  for (auto _ : state) readThroughLayer(fixture().path);
  double layerRate = static_cast<double>(state.iterations()) / watch.seconds();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
  state.counters["vs_raw_read"] = layerRate / gv::bench::runsPerSecond(readRaw);
}

void BM_PlainBackEnd(benchmark::State& state) {
  gv::usePlainFiles();
  readAndCompare(state);
}
BENCHMARK(BM_PlainBackEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EngineBackEnd(benchmark::State& state) {
  irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
  device->getLogger()->setLogLevel(irr::ELL_NONE);
  gv::reapplyArchive(device->getFileSystem());
  readAndCompare(state);
  gv::releaseEngineFiles();
  device->drop();
}
BENCHMARK(BM_EngineBackEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
