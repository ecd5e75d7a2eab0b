// Music: MP3 decoding speed as a multiple of real time, and how far the music position drifts
// from the wall clock over 10 s of playback on the dummy driver (wall clock by design) and on
// the disk driver (positions from the samples the device takes).
#include "baseline.h"
#include "platform/audio/mp3_decoder.h"
#include "platform/audio/music_player.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

const std::string kTrack = GAVO_SOURCE_DIR "/examples/intro/music/intro.mp3";

std::vector<std::uint8_t> trackBytes() {
  std::ifstream in(kTrack, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void BM_DecodeMp3(benchmark::State& state) {
  std::vector<std::uint8_t> bytes = trackBytes();
  std::vector<std::int16_t> buffer(4096 * 2);
  double audioSeconds = 0;
  gv::bench::Stopwatch watch;
  for (auto _ : state) {
    std::string error;
    std::unique_ptr<gv::audio::Mp3Decoder> decoder = gv::audio::Mp3Decoder::open(bytes, error);
    if (!decoder) {
      state.SkipWithError(error.c_str());
      return;
    }
    std::int64_t frames = 0;
    for (int got; (got = decoder->read(buffer.data(), 4096)) > 0;) frames += got;
    audioSeconds += static_cast<double>(frames) / gv::audio::kOutputRate;
  }
  state.counters["x_realtime"] = audioSeconds / watch.seconds();
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Plays 10 s and compares the position with the wall clock every 100 ms.
void measureDrift(benchmark::State& state, const char* driver) {
  setenv("SDL_AUDIODRIVER", driver, 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  for (auto _ : state) {
    std::string error;
    std::unique_ptr<gv::audio::MusicPlayer> player = gv::audio::MusicPlayer::open(trackBytes(), error);
    if (!player || gv::audio::MusicPlayer::outputDriver() != driver) {
      state.SkipWithError("no such audio driver");
      return;
    }
    auto start = std::chrono::steady_clock::now();
    player->run();
    double worst = 0, last = 0;
    for (int step = 1; step <= 100; ++step) {
      std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * step));
      double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      last = static_cast<double>(player->position()) - wall;
      worst = std::max(worst, std::abs(last));
    }
    state.counters["drift_after_10s_ms"] = last;
    state.counters["worst_drift_ms"] = worst;
  }
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
}

void BM_PositionDriftDummyDriver(benchmark::State& state) { measureDrift(state, "dummy"); }
BENCHMARK(BM_PositionDriftDummyDriver)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_PositionDriftDiskDriver(benchmark::State& state) { measureDrift(state, "disk"); }
BENCHMARK(BM_PositionDriftDiskDriver)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
