#pragma once
// The one SDL audio device every piece of music plays through: opened with the first piece,
// closed with the last; its callback decodes and mixes the pieces that run.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace gv::audio {

using Clock = std::chrono::steady_clock;

// A piece as the mixer sees it. Its fields are shared with the audio thread: change them
// only between lock() and unlock().
class MixedTrack {
 public:
  virtual ~MixedTrack() = default;
  // Adds `frames` stereo frames to `mix`; `scratch` holds as many decoded frames.
  virtual void mixInto(float* mix, std::int16_t* scratch, int frames, Clock::time_point now) = 0;
};

class AudioOutput {
 public:
  static AudioOutput& instance();

  void attach(MixedTrack* track);
  void detach(MixedTrack* track);
  void lock();
  void unlock();

  // True when a device plays in real time: positions then follow the samples played.
  bool paced() const { return paced_; }
  // Frames between a buffer being filled and it being heard.
  int latencyFrames() const { return bufferFrames_; }
  const std::string& driver() const { return driver_; }

 private:
  AudioOutput() = default;
  bool openDevice();
  void closeDevice();
  static void callback(void* output, std::uint8_t* stream, int bytes);

  std::uint32_t device_ = 0;
  int bufferFrames_ = 0;
  bool paced_ = false;
  std::string driver_;
  std::vector<MixedTrack*> tracks_;
  std::vector<float> mix_;
  std::vector<std::int16_t> scratch_;
};

}  // namespace gv::audio
