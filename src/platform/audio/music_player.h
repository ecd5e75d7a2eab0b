#pragma once
// Music playback: MP3 decoded from memory and played through one shared SDL audio device.
// Stands in for the media graph a piece of music plays through on Windows: run, pause, stop,
// seek, a position in milliseconds and a volume as an attenuation in hundredths of a decibel.
//
// The position is what is heard. Without a sound device the music plays on SDL's "dummy"
// driver, which is not paced in real time, so the position then follows the wall clock,
// advancing only while the music runs.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gv::audio {

constexpr int kOutputRate = 44100;  // every piece is decoded to this rate, in stereo
constexpr int kSilence = -10000;    // attenuation of silence; 0 is full volume

// Volume in percent (100 full, 0 silent) to attenuation and back, with the same float
// approximations of log10 and of the power of ten that the engine has always used.
int attenuationFromPercent(int percent);
int percentFromAttenuation(int attenuation);

class MusicPlayer {
 public:
  // A player for MP3 bytes; nullptr with `error` set when they do not decode.
  static std::unique_ptr<MusicPlayer> open(std::vector<std::uint8_t> bytes, std::string& error);
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  void run();
  void pause();
  // Stops where the piece is, as the Windows media graph does: a later run goes on from
  // there, and a seek to 0 starts it over.
  void stop();
  bool running() const;
  // Moves to the position (clamped to the piece); false when the decoder cannot get there.
  bool seek(std::int64_t milliseconds);
  // What is heard now, in milliseconds.
  std::int64_t position() const;
  std::int64_t length() const;
  void setAttenuation(int attenuation);  // clamped to kSilence..0
  int attenuation() const;

  // The SDL audio driver in use ("dummy" without a sound device); empty before the first
  // piece opens the device or when no device could be opened.
  static std::string outputDriver();

  struct Track;

 private:
  explicit MusicPlayer(std::unique_ptr<Track> track);
  std::unique_ptr<Track> track_;
};

}  // namespace gv::audio
