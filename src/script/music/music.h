#pragma once
// Music by number: the music table and the operations that scripts, the demo and the scene
// viewer share. Main thread only.
#include <cstdint>
#include <memory>
#include <string>

namespace gv {
namespace audio {
class MusicPlayer;
}

constexpr std::int32_t kMusicTableCapacity = 50;
constexpr std::size_t kMusicPathMax = 2047;

// The table's payload.
struct SGvMusic {
  std::string path;  // as passed
  std::unique_ptr<audio::MusicPlayer> player;
  std::int32_t playing = 0;  // set by play and resume, cleared by stop; pause leaves it
};

// The engine creates the table as it starts and destroys it as it stops; destroying it stops
// and frees every piece it holds. An operation that finds no table creates one.
int createMusicTable();
void destroyMusicTable();

// Each operation on a number that holds no music records "Music ID %d does not exist. %s"
// against argument 1 and returns -1 (getMusicVolume 0), except deleteMusic and musicExists.
int loadMusic(const std::string& path, std::int32_t id);
int deleteMusic(std::int32_t id);
bool musicExists(std::int32_t id);
int playMusic(std::int32_t id);
int stopMusic(std::int32_t id);
int pauseMusic(std::int32_t id);
int resumeMusic(std::int32_t id);
int setMusicPosition(std::int32_t id, std::int32_t milliseconds);
// Milliseconds heard, or -1.
std::int32_t getMusicPosition(std::int32_t id);
int setMusicVolume(std::int32_t id, std::int32_t percent);
std::int32_t getMusicVolume(std::int32_t id);

}  // namespace gv
