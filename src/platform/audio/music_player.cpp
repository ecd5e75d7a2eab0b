#include "platform/audio/music_player.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/mp3_decoder.h"

#include <algorithm>
#include <cmath>

namespace gv::audio {
namespace {

std::int64_t framesIn(Clock::duration elapsed) {
  return std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * kOutputRate / 1000000;
}

// The first frame at or after the millisecond, so that a position set reads back unchanged.
std::int64_t frameAt(std::int64_t milliseconds) {
  return milliseconds <= 0 ? 0 : (milliseconds * kOutputRate + 999) / 1000;
}

float gainOf(int attenuation) {
  return attenuation <= kSilence ? 0.0f : static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

}  // namespace

// A piece's playing state. The position heard is counted from where the piece last started
// running (`runFrame`): on the wall clock without a paced device, else from the buffer the
// device last asked for, less the device's latency.
struct MusicPlayer::Track final : MixedTrack {
  std::unique_ptr<Mp3Decoder> decoder;
  bool running = false;
  bool ended = false;               // the decoder has given its last frame
  std::int64_t decodedFrame = 0;    // the next frame the decoder gives
  std::int64_t runFrame = 0;        // where the piece last started running, or stands still
  Clock::time_point runTime;
  std::int64_t bufferFrame = 0;     // the first frame of the buffer last filled
  Clock::time_point bufferTime;
  int bufferFrames = 0;
  int attenuation = 0;
  float gain = 1.0f;

  std::int64_t heardFrame(Clock::time_point now) const {
    if (!running) return runFrame;
    AudioOutput& output = AudioOutput::instance();
    std::int64_t frame;
    if (!output.paced()) {
      frame = runFrame + framesIn(now - runTime);
    } else {
      std::int64_t intoBuffer = std::min<std::int64_t>(framesIn(now - bufferTime), bufferFrames);
      frame = std::max(runFrame, bufferFrame + intoBuffer - output.latencyFrames());
    }
    return std::min(frame, decoder->length());
  }

  // Moves the decoder and the clock to `frame`; the piece keeps running or standing.
  bool moveTo(std::int64_t frame, Clock::time_point now) {
    frame = std::clamp<std::int64_t>(frame, 0, decoder->length());
    bool moved = decoder->seek(frame);
    decodedFrame = bufferFrame = runFrame = frame;
    ended = frame >= decoder->length();
    runTime = bufferTime = now;
    bufferFrames = 0;
    return moved;
  }

  void mixInto(float* mix, std::int16_t* scratch, int frames, Clock::time_point now) override {
    if (!running) return;
    bufferFrame = decodedFrame;
    bufferTime = now;
    bufferFrames = frames;
    if (ended) return;
    int got = decoder->read(scratch, frames);
    decodedFrame += got;
    ended = got < frames;
    for (int i = 0; i < got * 2; ++i) mix[i] += static_cast<float>(scratch[i]) * gain;
  }
};

namespace {

// Holds the output's lock for a scope.
class Locked {
 public:
  Locked() { AudioOutput::instance().lock(); }
  ~Locked() { AudioOutput::instance().unlock(); }
};

}  // namespace

std::unique_ptr<MusicPlayer> MusicPlayer::open(std::vector<std::uint8_t> bytes, std::string& error) {
  auto track = std::make_unique<Track>();
  track->decoder = Mp3Decoder::open(std::move(bytes), error);
  if (!track->decoder) return nullptr;
  AudioOutput::instance().attach(track.get());
  return std::unique_ptr<MusicPlayer>(new MusicPlayer(std::move(track)));
}

MusicPlayer::MusicPlayer(std::unique_ptr<Track> track) : track_(std::move(track)) {}

MusicPlayer::~MusicPlayer() { AudioOutput::instance().detach(track_.get()); }

void MusicPlayer::run() {
  Locked locked;
  if (track_->running) return;
  track_->running = true;
  track_->runTime = track_->bufferTime = Clock::now();
  track_->bufferFrame = track_->runFrame;
  track_->bufferFrames = 0;
}

void MusicPlayer::pause() {
  Locked locked;
  if (!track_->running) return;
  Clock::time_point now = Clock::now();
  std::int64_t heard = track_->heardFrame(now);
  track_->running = false;
  // What was decoded but not yet heard is dropped: the piece goes on from what was heard.
  track_->moveTo(heard, now);
}

void MusicPlayer::stop() { pause(); }

bool MusicPlayer::running() const {
  Locked locked;
  return track_->running;
}

bool MusicPlayer::seek(std::int64_t milliseconds) {
  Locked locked;
  return track_->moveTo(frameAt(milliseconds), Clock::now());
}

std::int64_t MusicPlayer::position() const {
  Locked locked;
  return track_->heardFrame(Clock::now()) * 1000 / kOutputRate;
}

std::int64_t MusicPlayer::length() const { return track_->decoder->length() * 1000 / kOutputRate; }

void MusicPlayer::setAttenuation(int attenuation) {
  Locked locked;
  track_->attenuation = std::clamp(attenuation, kSilence, 0);
  track_->gain = gainOf(track_->attenuation);
}

int MusicPlayer::attenuation() const {
  Locked locked;
  return track_->attenuation;
}

std::string MusicPlayer::outputDriver() { return AudioOutput::instance().driver(); }

}  // namespace gv::audio
