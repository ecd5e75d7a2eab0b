#include "script/music/music.h"

#include "app/log/log.h"
#include "platform/audio/music_player.h"
#include "resources/files/files.h"
#include "script/id_table/id_table.h"

#include <optional>
#include <vector>

namespace gv {
namespace {

// The table, emptied at exit too, so that no piece plays on while the process ends.
struct MusicTable {
  std::unique_ptr<IdTable> ids;
  ~MusicTable() { destroyMusicTable(); }
} table;

IdTable& musicTable() {
  if (!table.ids) createMusicTable();
  return *table.ids;
}

// The music under the number, or nullptr with the failure recorded against argument 1.
SGvMusic* existing(std::int32_t id) {
  auto* music = musicTable().getAs<SGvMusic>(id);
  if (!music) gvLogErrorId(1, "Music ID %d does not exist. %s", id, idTableLastError());
  return music;
}

// Takes the number back from a load that failed.
int abandon(std::int32_t id, SGvMusic* music) {
  musicTable().remove(id);
  delete music;
  return -1;
}

}  // namespace

int createMusicTable() {
  destroyMusicTable();
  table.ids = IdTable::create(kMusicTableCapacity);
  return table.ids ? 0 : -1;
}

void destroyMusicTable() {
  if (!table.ids) return;
  for (std::int32_t id = 0; id <= table.ids->highestId(); ++id) delete table.ids->getAs<SGvMusic>(id);
  table.ids.reset();
}

int loadMusic(const std::string& path, std::int32_t id) {
  auto* music = new SGvMusic;
  if (musicTable().add(id, music) != 0) {
    gvLogErrorId(2, "invalid Music ID %d : %s", id, idTableLastError());
    delete music;
    return -1;
  }
  music->path = path;
  std::optional<std::vector<std::uint8_t>> bytes;
  if (path.size() <= kMusicPathMax) bytes = readWholeFile(path);
  if (!bytes) {
    gvLogErrorId(2, "LoadMusic ID %d : Cannot load file '%s'", id, path.c_str());
    return abandon(id, music);
  }
  std::string reason;
  music->player = audio::MusicPlayer::open(std::move(*bytes), reason);
  if (!music->player) {
    gvLog(GVLOG_INFO, "%s does not decode: %s", path.c_str(), reason.c_str());
    gvLogErrorId(-1, "Failed to load mp3");
    return abandon(id, music);
  }
  return 0;
}

int deleteMusic(std::int32_t id) {
  auto* music = musicTable().getAs<SGvMusic>(id);
  if (!music) return -1;
  musicTable().remove(id);
  delete music;  // stops it
  return 0;
}

bool musicExists(std::int32_t id) { return musicTable().get(id) != nullptr; }

int playMusic(std::int32_t id) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  if (music->playing) music->player->stop();
  music->player->run();
  music->playing = 1;
  return 0;
}

int stopMusic(std::int32_t id) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  music->player->stop();
  music->playing = 0;
  return 0;
}

int pauseMusic(std::int32_t id) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  if (music->playing) music->player->pause();
  return 0;
}

int resumeMusic(std::int32_t id) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  music->player->run();
  music->playing = 1;
  return 0;
}

int setMusicPosition(std::int32_t id, std::int32_t milliseconds) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  return music->player->seek(milliseconds) ? 0 : -1;
}

std::int32_t getMusicPosition(std::int32_t id) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  return static_cast<std::int32_t>(music->player->position());
}

int setMusicVolume(std::int32_t id, std::int32_t percent) {
  SGvMusic* music = existing(id);
  if (!music) return -1;
  music->player->setAttenuation(audio::attenuationFromPercent(percent));
  return 0;
}

std::int32_t getMusicVolume(std::int32_t id) {
  SGvMusic* music = existing(id);
  if (!music) return 0;
  return audio::percentFromAttenuation(music->player->attenuation());
}

}  // namespace gv
