// Packages: building one from 50 MB of mixed files, and reading every entry of a packaged
// executable back through the file layer, each against zlib doing the same compression work
// directly in the same run. Speeds are wall-clock; the ratios compare the thread's CPU time,
// which other processes on a busy machine do not disturb.
#include "baseline.h"
#include "app/log/log.h"
#include "resources/files/files.h"
#include "resources/package/loaded_package.h"
#include "resources/package/package.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <irrlicht.h>
#include <ctime>
#include <random>
#include <zlib.h>

namespace {

constexpr int kFiles = 200;
constexpr std::size_t kFileSize = 250 << 10;  // 200 x 250 KiB = 50 MB
constexpr int kLevel = 6;

// Two files in five are noise (like MP3 or JPEG data), the others text-like and compressible.
std::string makeContent(int index, std::mt19937& random) {
  std::string content(kFileSize, '\0');
  if (index % 5 < 2) {
    for (char& c : content) c = static_cast<char>(random());
    return content;
  }
  static const char* const kWords[] = {"vertex ", "float4 ", "texture ", "scene ", "light ", "0.25 ", "\n", "mesh "};
  std::size_t at = 0;
  while (at < content.size()) {
    const char* word = kWords[random() % 8];
    for (const char* p = word; *p && at < content.size(); ++p) content[at++] = *p;
  }
  return content;
}

struct Fixture {
  gv::test::TempDir dir;
  std::vector<std::string> names;
  std::vector<std::string> contents;
  std::string engine;
  Fixture() {
    gvLogSetLevel(GVLOG_NONE);
    gvLogDisableBoxes();
    std::mt19937 random(5);
    engine = dir.write("engine/gavo", std::string(1 << 20, 'E'));
    for (int i = 0; i < kFiles; ++i) {
      names.push_back((i % 3 ? "scenes/" : "music/") + std::to_string(i) + (i % 5 < 2 ? ".mp3" : ".x"));
      contents.push_back(makeContent(i, random));
      dir.write("demo/" + names.back(), contents.back());
    }
  }
  double megabytes() const { return kFiles * static_cast<double>(kFileSize) / 1e6; }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

double cpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<std::string> deflateAll() {
  std::vector<std::string> compressed;
  for (const std::string& content : fixture().contents) {
    uLongf size = compressBound(content.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
              content.size(), kLevel);
    out.resize(size);
    compressed.push_back(std::move(out));
  }
  return compressed;
}

void BM_BuildPackage(benchmark::State& state) {
  Fixture& f = fixture();
  gv::test::TempDir out;
  gv::PackageTarget target{out.file("intro"), gv::PackageForm::Executable, f.engine};
  gv::bench::Stopwatch watch;
  double cpu = cpuSeconds();
  for (auto _ : state)
    if (gv::buildDirectoryPackage(target, f.dir.file("demo")) != 0) state.SkipWithError("build failed");
  double iterations = static_cast<double>(state.iterations());
  double buildCpu = (cpuSeconds() - cpu) / iterations;
  state.counters["MB_per_s"] = f.megabytes() / (watch.seconds() / iterations);
  cpu = cpuSeconds();
  benchmark::DoNotOptimize(deflateAll());
  state.counters["vs_zlib_deflate"] = (cpuSeconds() - cpu) / buildCpu;
}
BENCHMARK(BM_BuildPackage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

struct PackagedExecutable {
  gv::test::TempDir out;
  std::string path = out.file("intro");
  PackagedExecutable() {
    gv::buildDirectoryPackage({path, gv::PackageForm::Executable, fixture().engine}, fixture().dir.file("demo"));
  }
};

void readEveryEntry() {
  static PackagedExecutable packaged;
  std::unique_ptr<gv::LoadedPackage> package = gv::LoadedPackage::load(packaged.path);
  package->mount();
  irr::SIrrlichtCreationParameters params;
  params.DriverType = irr::video::EDT_NULL;
  params.LoggingLevel = irr::ELL_NONE;
  irr::IrrlichtDevice* device = irr::createDeviceEx(params);
  gv::reapplyArchive(device->getFileSystem());
  for (const std::string& name : fixture().names) benchmark::DoNotOptimize(gv::readWholeFile(name));
  gv::releaseEngineFiles();
  device->drop();
}

void BM_ReadPackagedExecutable(benchmark::State& state) {
  Fixture& f = fixture();
  readEveryEntry();  // builds the package outside the timing
  gv::bench::Stopwatch watch;
  double cpu = cpuSeconds();
  for (auto _ : state) readEveryEntry();
  double iterations = static_cast<double>(state.iterations());
  double readCpu = (cpuSeconds() - cpu) / iterations;
  state.counters["MB_per_s"] = f.megabytes() / (watch.seconds() / iterations);
  std::vector<std::string> compressed = deflateAll();
  std::string inflated(kFileSize, '\0');
  cpu = cpuSeconds();
  for (const std::string& data : compressed) {
    uLongf size = inflated.size();
    uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
               data.size());
  }
  state.counters["vs_zlib_inflate"] = (cpuSeconds() - cpu) / readCpu;
}
BENCHMARK(BM_ReadPackagedExecutable)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
