// Music decoding and playback on SDL's dummy and disk drivers.
#include "platform/audio/mp3_decoder.h"
#include "platform/audio/music_player.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

namespace {

using gv::audio::MusicPlayer;
using gv::audio::Mp3Decoder;
using namespace std::chrono_literals;

const std::string kExampleTrack = GAVO_SOURCE_DIR "/examples/intro/music/intro.mp3";
const std::string kMonoTone = GAVO_TEST_DATA_DIR "/music/tone-22k-mono.mp3";
const std::string kNotMusic = GAVO_TEST_DATA_DIR "/music/not-music.mp3";

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::int16_t> decodeAll(Mp3Decoder& decoder) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(decoder.length() + 4096) * 2);
  int frames = decoder.read(samples.data(), static_cast<int>(decoder.length() + 4096));
  samples.resize(static_cast<std::size_t>(frames) * 2);
  return samples;
}

std::int64_t millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

int peakOf(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

TEST(MusicVolume, PercentToAttenuationAndBack) {
  const std::pair<int, int> toAttenuation[] = {{100, 0},     {90, -88},    {75, -250}, {50, -602},
                                               {25, -1204},  {10, -1998},  {1, -4005}, {0, -10000},
                                               {150, 0},     {-50, -602}};
  for (auto [percent, attenuation] : toAttenuation)
    EXPECT_EQ(gv::audio::attenuationFromPercent(percent), attenuation) << percent << " %";
  const std::pair<int, int> toPercent[] = {{0, 100}, {-602, 50}, {-1204, 25}, {-88, 89},
                                           {-250, 73}, {-1998, 9}, {-4005, 0}, {-10000, 0}};
  for (auto [attenuation, percent] : toPercent)
    EXPECT_EQ(gv::audio::percentFromAttenuation(attenuation), percent) << attenuation;
}

TEST(Mp3Decoding, TheExampleTrackDecodesSampleExactlyAndSeeksExactly) {
  std::string error;
  std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(readBytes(kExampleTrack), error);
  ASSERT_TRUE(decoder) << error;
  EXPECT_EQ(decoder->length(), 24 * gv::audio::kOutputRate) << "its LAME header makes the length exact";
  std::vector<std::int16_t> all = decodeAll(*decoder);
  ASSERT_EQ(all.size(), static_cast<std::size_t>(decoder->length()) * 2);
  EXPECT_GT(peakOf(all), 8000) << "the track is not silent";

  const std::int64_t at = 12 * gv::audio::kOutputRate + 123;
  ASSERT_TRUE(decoder->seek(at));
  std::vector<std::int16_t> after(2000);
  ASSERT_EQ(decoder->read(after.data(), 1000), 1000);
  EXPECT_TRUE(std::equal(after.begin(), after.end(), all.begin() + at * 2)) << "seeking is sample-exact";
}

TEST(Mp3Decoding, MonoAtAnotherRateComesOutAsStereoAtTheOutputRate) {
  std::string error;
  std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(readBytes(kMonoTone), error);
  ASSERT_TRUE(decoder) << error;
  // One second of tone, plus the encoder's padding that this file's header does not undo.
  EXPECT_GE(decoder->length(), gv::audio::kOutputRate);
  EXPECT_LT(decoder->length(), gv::audio::kOutputRate * 11 / 10);
  std::vector<std::int16_t> all = decodeAll(*decoder);
  ASSERT_EQ(all.size(), static_cast<std::size_t>(decoder->length()) * 2);
  for (std::size_t i = 0; i < all.size(); i += 2) ASSERT_EQ(all[i], all[i + 1]) << "frame " << i / 2;
  // 440 Hz keeps its pitch: 440 sign changes in half a second from the middle of the tone.
  int crossings = 0;
  for (std::size_t frame = 11025; frame < 11025 + 22050; ++frame)
    crossings += (all[frame * 2 - 2] < 0) != (all[frame * 2] < 0);
  EXPECT_NEAR(crossings, 440, 4);
}

TEST(Mp3Decoding, BytesThatAreNotMusicAreRefused) {
  for (const std::vector<std::uint8_t>& bytes : {readBytes(kNotMusic), std::vector<std::uint8_t>()}) {
    std::string error;
    EXPECT_FALSE(Mp3Decoder::open(bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(MusicPlayer::open(bytes, error));
  }
}

class MusicPlayerTest : public testing::Test {
 protected:
  void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  void TearDown() override {
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
  }
  std::unique_ptr<MusicPlayer> open(const std::string& path) {
    std::string error;
    std::unique_ptr<MusicPlayer> player = MusicPlayer::open(readBytes(path), error);
    EXPECT_TRUE(player) << error;
    return player;
  }
};

TEST_F(MusicPlayerTest, PositionFollowsTheWallClockWhilePlayingOnTheDummyDriver) {
  std::unique_ptr<MusicPlayer> player = open(kExampleTrack);
  ASSERT_TRUE(player);
  EXPECT_EQ(MusicPlayer::outputDriver(), "dummy");
  EXPECT_EQ(player->length(), 24000);
  EXPECT_FALSE(player->running());
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(player->position(), 0) << "a loaded piece stands still";

  auto started = std::chrono::steady_clock::now();
  player->run();
  std::this_thread::sleep_for(150ms);
  std::int64_t position = player->position();
  EXPECT_GE(position, 150);
  EXPECT_LE(position, millisecondsSince(started) + 1);

  player->pause();
  std::int64_t paused = player->position();
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(player->position(), paused) << "pause holds the position";
  started = std::chrono::steady_clock::now();
  player->run();
  std::this_thread::sleep_for(40ms);
  position = player->position();
  EXPECT_GE(position, paused + 40);
  EXPECT_LE(position, paused + millisecondsSince(started) + 1);

  started = std::chrono::steady_clock::now();
  ASSERT_TRUE(player->seek(12345));
  position = player->position();
  EXPECT_GE(position, 12345);
  EXPECT_LE(position, 12345 + millisecondsSince(started) + 1);
  EXPECT_TRUE(player->running()) << "seeking keeps the piece running";

  player->stop();
  EXPECT_FALSE(player->running());
  std::int64_t stopped = player->position();
  EXPECT_GE(stopped, 12345);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(player->position(), stopped) << "stop holds the position";

  ASSERT_TRUE(player->seek(99999));
  EXPECT_EQ(player->position(), 24000) << "a seek past the end stops at the end";
  player->run();
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(player->position(), 24000);
}

TEST_F(MusicPlayerTest, VolumeScalesWhatIsPlayed) {
  // The disk driver writes exactly what is played.
  std::string file = testing::TempDir() + "gavo-music-disk.raw";
  std::remove(file.c_str());
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  {
    std::unique_ptr<MusicPlayer> player = open(kMonoTone);
    ASSERT_TRUE(player);
    EXPECT_EQ(MusicPlayer::outputDriver(), "disk");
    player->setAttenuation(gv::audio::attenuationFromPercent(50));
    EXPECT_EQ(player->attenuation(), -602);
    player->run();
    std::this_thread::sleep_for(250ms);
    EXPECT_GT(player->position(), 50) << "the disk driver is paced: positions follow the samples";
  }
  std::vector<std::uint8_t> raw = readBytes(file);
  std::vector<std::int16_t> played(raw.size() / 2);
  std::memcpy(played.data(), raw.data(), played.size() * 2);
  std::string error;
  std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(readBytes(kMonoTone), error);
  int full = peakOf(decodeAll(*decoder));
  EXPECT_NEAR(peakOf(played), full * 0.5, full * 0.01);
  std::remove(file.c_str());
}

}  // namespace
