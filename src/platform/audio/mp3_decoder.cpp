#include "platform/audio/mp3_decoder.h"

#include "platform/audio/music_player.h"

#include <cstring>
#include <mpg123.h>
#include <mutex>

namespace gv::audio {
namespace {

ssize_t readSource(void* handle, void* buffer, size_t bytes) {
  auto* source = static_cast<Mp3Decoder::Source*>(handle);
  std::size_t left = source->bytes.size() - source->at;
  std::size_t n = bytes < left ? bytes : left;
  if (n == 0) return 0;
  std::memcpy(buffer, source->bytes.data() + source->at, n);
  source->at += n;
  return static_cast<ssize_t>(n);
}

off_t seekSource(void* handle, off_t offset, int whence) {
  auto* source = static_cast<Mp3Decoder::Source*>(handle);
  off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off_t>(source->at)
                                                          : static_cast<off_t>(source->bytes.size());
  off_t target = base + offset;
  if (target < 0 || target > static_cast<off_t>(source->bytes.size())) return -1;
  source->at = static_cast<std::size_t>(target);
  return target;
}

constexpr int kMaxEmptyReads = 64;

std::string describe(mpg123_handle* handle) { return mpg123_strerror(handle); }

}  // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(std::vector<std::uint8_t> bytes, std::string& error) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder);
  decoder->source_.bytes = std::move(bytes);
  int code = MPG123_OK;
  mpg123_handle* handle = mpg123_new(nullptr, &code);
  if (!handle) {
    error = mpg123_plain_strerror(code);
    return nullptr;
  }
  decoder->handle_ = handle;
  // One output format whatever the file holds: libmpg123 resamples and widens mono.
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_format_none(handle);
  mpg123_format(handle, kOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_replace_reader_handle(handle, readSource, seekSource, nullptr) != MPG123_OK ||
      mpg123_open_handle(handle, &decoder->source_) != MPG123_OK || mpg123_scan(handle) != MPG123_OK ||
      mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) {
    error = describe(handle);
    return nullptr;
  }
  off_t length = mpg123_length(handle);
  if (rate != kOutputRate || channels != 2 || encoding != MPG123_ENC_SIGNED_16 || length <= 0) {
    error = "no MPEG audio frames";
    return nullptr;
  }
  decoder->length_ = length;
  return decoder;
}

Mp3Decoder::~Mp3Decoder() {
  if (!handle_) return;
  mpg123_close(handle_);
  mpg123_delete(handle_);
}

int Mp3Decoder::read(std::int16_t* out, int frames) {
  auto* bytes = reinterpret_cast<unsigned char*>(out);
  std::size_t wanted = static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t), got = 0;
  // A call may give nothing without having ended (a frame that decodes to no samples), but
  // not forever.
  for (int empty = 0; got < wanted && empty < kMaxEmptyReads;) {
    std::size_t done = 0;
    int code = mpg123_read(handle_, bytes + got, wanted - got, &done);
    got += done;
    if (done > 0) continue;
    if (code != MPG123_OK && code != MPG123_NEW_FORMAT) break;
    ++empty;
  }
  return static_cast<int>(got / (2 * sizeof(std::int16_t)));
}

bool Mp3Decoder::seek(std::int64_t frame) { return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0; }

}  // namespace gv::audio
