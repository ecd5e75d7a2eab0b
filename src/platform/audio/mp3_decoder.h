#pragma once
// MP3 bytes decoded from memory with libmpg123 to 16-bit stereo at the output rate.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct mpg123_handle_struct;

namespace gv::audio {

class Mp3Decoder {
 public:
  // nullptr with `error` set when the bytes do not decode.
  static std::unique_ptr<Mp3Decoder> open(std::vector<std::uint8_t> bytes, std::string& error);
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // Decodes up to `frames` stereo frames into `out`; fewer only at the end of the piece.
  int read(std::int16_t* out, int frames);
  bool seek(std::int64_t frame);
  std::int64_t length() const { return length_; }  // in frames

  // Where the reader stands in the bytes (libmpg123 reads through these).
  struct Source {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
  };

 private:
  Mp3Decoder() = default;
  mpg123_handle_struct* handle_ = nullptr;
  Source source_;
  std::int64_t length_ = 0;
};

}  // namespace gv::audio
