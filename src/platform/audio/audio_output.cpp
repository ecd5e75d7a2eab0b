#include "platform/audio/audio_output.h"

#include "platform/audio/music_player.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace gv::audio {
namespace {

constexpr int kBufferFrames = 1024;

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// Whether a sound server or sound card is there to try. Without one SDL's default drivers fail
// only after printing a page of ALSA errors, so the dummy driver is taken straight away.
bool soundDeviceLikely() {
  if (std::getenv("SDL_AUDIODRIVER") || std::getenv("PULSE_SERVER") || exists("/dev/snd")) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && (exists(std::string(runtime) + "/pulse/native") || exists(std::string(runtime) + "/pipewire-0"));
}

SDL_AudioDeviceID openDefaultDevice(SDL_AudioSpec& have, void* output, SDL_AudioCallback callback) {
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = kOutputRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kBufferFrames;
  want.callback = callback;
  want.userdata = output;
  return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

}  // namespace

AudioOutput& AudioOutput::instance() {
  // Never destroyed: pieces that other static objects still hold at exit detach from it
  // while the process ends.
  static AudioOutput* output = new AudioOutput;
  return *output;
}

bool AudioOutput::openDevice() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec have;
  SDL_AudioDeviceID device = soundDeviceLikely() ? openDefaultDevice(have, this, callback) : 0;
  if (!device && std::strcmp(SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "", "dummy") != 0) {
    SDL_AudioQuit();
    if (SDL_AudioInit("dummy") == 0) device = openDefaultDevice(have, this, callback);
  }
  if (!device) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  device_ = device;
  bufferFrames_ = have.samples;
  driver_ = SDL_GetCurrentAudioDriver();
  // The dummy driver is not paced in real time: its music clock is the wall clock.
  paced_ = driver_ != "dummy";
  mix_.assign(static_cast<std::size_t>(have.samples) * 2, 0.0f);
  scratch_.assign(mix_.size(), 0);
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void AudioOutput::closeDevice() {
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  device_ = 0;
  driver_.clear();
  paced_ = false;
}

void AudioOutput::attach(MixedTrack* track) {
  if (tracks_.empty() && !device_) openDevice();
  lock();
  tracks_.push_back(track);
  unlock();
}

void AudioOutput::detach(MixedTrack* track) {
  lock();
  tracks_.erase(std::remove(tracks_.begin(), tracks_.end(), track), tracks_.end());
  unlock();
  if (tracks_.empty() && device_) closeDevice();
}

void AudioOutput::lock() {
  if (device_) SDL_LockAudioDevice(device_);
}

void AudioOutput::unlock() {
  if (device_) SDL_UnlockAudioDevice(device_);
}

void AudioOutput::callback(void* data, std::uint8_t* stream, int bytes) {
  auto& output = *static_cast<AudioOutput*>(data);
  int frames = bytes / static_cast<int>(2 * sizeof(std::int16_t));
  if (static_cast<std::size_t>(frames) * 2 > output.mix_.size()) {
    output.mix_.resize(static_cast<std::size_t>(frames) * 2);
    output.scratch_.resize(output.mix_.size());
  }
  std::fill(output.mix_.begin(), output.mix_.begin() + frames * 2, 0.0f);
  Clock::time_point now = Clock::now();
  for (MixedTrack* track : output.tracks_) track->mixInto(output.mix_.data(), output.scratch_.data(), frames, now);
  auto* out = reinterpret_cast<std::int16_t*>(stream);
  for (int i = 0; i < frames * 2; ++i)
    out[i] = static_cast<std::int16_t>(std::clamp(output.mix_[i], -32768.0f, 32767.0f));
}

}  // namespace gv::audio
