-- Opens a window and cycles the backdrop through the colours until Escape is pressed or
-- the window is closed. Space saves a screenshot beside this script (backdrop-001.png, ...).
--
--   ./run examples/scripts/backdrop.lua
--
-- GAVO_EXAMPLE_SECONDS=n ends the run by itself after n seconds (used by the tests).

local limit = tonumber(os.getenv("GAVO_EXAMPLE_SECONDS") or "")

gv.Setup(640, 480)

-- A colour channel swinging between 0 and 255 over the given period in seconds.
local function channel(seconds, period, phase)
  return math.floor(127.5 + 127.5 * math.sin(2 * math.pi * (seconds / period + phase)))
end

local shots = 0
local spaceWasDown = false
local start = gv.Timer()

while gv.Run() and not gv.EscapeKey() do
  local seconds = (gv.Timer() - start) / 1000
  if limit and seconds >= limit then break end

  local red = channel(seconds, 6, 0)
  local green = channel(seconds, 7, 1 / 3)
  local blue = channel(seconds, 8, 2 / 3)
  gv.ColorBackdrop(0xFF000000 + red * 0x10000 + green * 0x100 + blue)
  gv.Sync()

  local spaceDown = gv.SpaceKey()
  if spaceDown and not spaceWasDown then
    shots = shots + 1
    local name = string.format("backdrop-%03d.png", shots)
    gv.ScreenShot(name)
    print("saved " .. name)
  end
  spaceWasDown = spaceDown
end

gv.Term()
