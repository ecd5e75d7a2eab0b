-- The intro's soundtrack played by a script. This is what a package of the whole folder runs:
--
--   build/bin/gavo -direxe intro-script examples/intro
--   ./intro-script          (from any directory: the music comes from inside the executable)
--
-- Plays the music until Escape, the window closes or the track ends, and says how far it got.
-- GAVO_EXAMPLE_SECONDS=n stops it after n seconds of music (used by the tests).

local limit = tonumber(os.getenv("GAVO_EXAMPLE_SECONDS") or "") or 24

gv.Setup(320, 180)
gv.LoadMusic("music/intro.mp3", 1)
gv.PlayMusic(1)
while gv.Run() and not gv.EscapeKey() and gv.GetMusicPosition(1) < limit * 1000 do
  -- The backdrop brightens with the music.
  local level = math.floor(255 * gv.GetMusicPosition(1) / 24000)
  gv.ColorBackdrop(0xFF000000 + level * 0x10101)
  gv.Sync()
end
print("music played to " .. gv.GetMusicPosition(1) .. " ms")
gv.StopMusic(1)
gv.Term()
