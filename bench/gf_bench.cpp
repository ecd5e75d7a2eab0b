// Loading GF files against reading the same file into memory, and evaluating keyframe
// channels against interpolating plain float arrays.
#include "app/log/log.h"
#include "baseline.h"
#include "resources/files/files.h"
#include "scene/gf.h"
#include "scene/gf_channel.h"
#include "scene/gf_write.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 20 << 20;
constexpr int kFrames = 250;

// One exported object: name, flags, and position, rotation and scale channels baked once per
// frame (scale constant, as most are).
void appendObject(std::string& text, int index) {
  char line[64];
  text += "  { Object\n    name STR \"object " + std::to_string(index) + "\"\n";
  text += "    shadowOpts I4 2\n    xfilename STR \"mesh" + std::to_string(index % 17) + ".x\"\n";
  for (const char* channel : {"position", "rotation"}) {
    text += std::string("    ") + channel + " FP_C [\n";
    for (int component = 0; component < 3; ++component) {
      text += "      DAT " + std::to_string(kFrames);
      for (int frame = 0; frame < kFrames; ++frame) {
        double value = 100.0 * std::sin(0.01 * frame * (component + 1) + index);
        std::snprintf(line, sizeof line, " %.6g", value);
        text += line;
      }
      text += '\n';
    }
    text += "    ]\n";
  }
  text += "    scale FP_C [\n      RUN 250 1\n      RUN 250 1\n      RUN 250 1\n    ]\n  }\n";
}

// A scene of exported objects whose text form (or binary form) is about `size` bytes.
std::string sceneText(std::size_t size, bool binarySize) {
  std::string text = "# generated scene\n{ Scene\n";
  for (int index = 0;; ++index) {
    std::size_t reached = text.size();
    if (binarySize) reached /= 2;  // each float shrinks from about 9 characters to 4 bytes
    if (reached >= size) break;
    appendObject(text, index);
  }
  return text + "}\n";
}

struct Files {
  gv::test::TempDir dir;
  std::string text;
  std::string binary;
  std::size_t textSize = 0;
  std::size_t binarySize = 0;

  Files() {
    gvLogSetLevel(GVLOG_NONE);
    std::string source = sceneText(kFileSize, false);
    text = dir.write("scene.gscn", source);
    textSize = source.size();
    std::string binarySource = sceneText(kFileSize, true);
    GFDocument* document = GF_Parse(binarySource.data(), binarySource.size());
    std::vector<std::uint8_t> packed = GF_WriteBinary(GF_Root(document));
    GF_Free(document);
    binary = dir.write("scene.gavo", std::string(packed.begin(), packed.end()));
    binarySize = packed.size();
  }
};

Files& files() {
  static Files f;
  return f;
}

// Reading a file into memory the way the loader does, without parsing it.
void readRaw(const std::string& path) {
  gv::FileStreamPtr file = gv::openFile(path, "rb");
  file->seek(0, 2);
  auto size = static_cast<std::size_t>(file->tell());
  file->seek(0, 0);
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size + 1]);
  benchmark::DoNotOptimize(file->read(buffer.get(), 1, size));
}

void loadAndCompare(benchmark::State& state, const std::string& path, std::size_t size) {
  gv::bench::Stopwatch watch;
  for (auto _ : state) {
    GFDocument* document = GF_Load(path.c_str());
    if (!document) state.SkipWithError("the generated file does not load");
    GF_Free(document);
  }
  double loadRate = static_cast<double>(state.iterations()) / watch.seconds();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["MB"] = static_cast<double>(size) / (1 << 20);
  state.counters["vs_raw_read"] = loadRate / gv::bench::runsPerSecond([&] { readRaw(path); });
}

void BM_LoadBinary(benchmark::State& state) {
  loadAndCompare(state, files().binary, files().binarySize);
}
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadText(benchmark::State& state) { loadAndCompare(state, files().text, files().textSize); }
BENCHMARK(BM_LoadText)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 channels of kFrames samples, each one DAT block per component, as exported.
constexpr int kChannels = 100000;
constexpr int kChannelFrames = 100;

struct Channels {
  GFDocument* document = nullptr;
  std::vector<const GFNode*> scalars;
  std::vector<const GFNode*> vectors;
  std::vector<float> plain;  // the same samples, uncompressed, for the baseline
  std::vector<float> positions;

  Channels() {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(-3, 3);
    std::string text = "# channels\n";
    plain.resize(static_cast<std::size_t>(kChannels) * kChannelFrames);
    char number[32];
    for (int c = 0; c < kChannels; ++c) {
      std::string samples = "DAT " + std::to_string(kChannelFrames);
      for (int f = 0; f < kChannelFrames; ++f) {
        float v = value(random);
        plain[static_cast<std::size_t>(c) * kChannelFrames + f] = v;
        std::snprintf(number, sizeof number, " %.9g", static_cast<double>(v));
        samples += number;
      }
      text += "s FP_C " + samples + "\nv FP_C [\n" + samples + "\n" + samples + "\n" + samples + "\n]\n";
    }
    document = GF_Parse(text.data(), text.size());
    const GFNode* root = GF_Root(document);
    for (std::uint32_t i = 0; i < root->count; ++i)
      (root->children[i]->kind == GF_ARRAY ? vectors : scalars).push_back(root->children[i]);
    std::uniform_real_distribution<float> position(0, kChannelFrames - 1);
    for (int i = 0; i < kChannels; ++i) positions.push_back(position(random));
  }
};

Channels& channels() {
  static Channels c;
  return c;
}

float plainLerps(int count) {
  const Channels& c = channels();
  float sum = 0;
  for (int i = 0; i < count; ++i) {
    float t = c.positions[i];
    auto frame = static_cast<std::size_t>(t);
    const float* s = &c.plain[static_cast<std::size_t>(i) * kChannelFrames + frame];
    sum += s[0] + (t - static_cast<float>(frame)) * (s[1] - s[0]);
  }
  return sum;
}

// Evaluates the first state.range(0) channels once per iteration; reports nanoseconds per
// evaluation and the speed against plain interpolation of one float. All 100,000 channels
// do not fit in the caches; a thousand do, which shows the cost without memory misses.
template <typename Evaluate>
void evaluateChannels(benchmark::State& state, const std::vector<const GFNode*>& nodes, Evaluate evaluate) {
  const Channels& c = channels();
  auto count = static_cast<int>(state.range(0));
  gv::bench::Stopwatch watch;
  for (auto _ : state) {
    float sum = 0;
    for (int i = 0; i < count; ++i) sum += evaluate(nodes[i], c.positions[i]);
    benchmark::DoNotOptimize(sum);
  }
  double evaluations = static_cast<double>(state.iterations()) * count;
  double seconds = watch.seconds();
  state.SetItemsProcessed(static_cast<std::int64_t>(evaluations));
  state.counters["ns_per_eval"] = seconds * 1e9 / evaluations;
  double plainRate = gv::bench::runsPerSecond([&] { benchmark::DoNotOptimize(plainLerps(count)); }) * count;
  state.counters["vs_plain_lerp"] = (evaluations / seconds) / plainRate;
}

void BM_ScalarChannels(benchmark::State& state) {
  evaluateChannels(state, channels().scalars, [](const GFNode* n, float t) { return GF_FP_Lerp(n, t); });
}
BENCHMARK(BM_ScalarChannels)->Arg(kChannels)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_VectorChannels(benchmark::State& state) {
  evaluateChannels(state, channels().vectors, [](const GFNode* n, float t) { return GF_FP3_Lerp(n, t).z; });
}
BENCHMARK(BM_VectorChannels)->Arg(kChannels)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RotationChannels(benchmark::State& state) {
  evaluateChannels(state, channels().vectors,
                   [](const GFNode* n, float t) { return GF_FP3_Slerp_HPB_To_XYZ(n, t).y; });
}
BENCHMARK(BM_RotationChannels)->Arg(kChannels)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
