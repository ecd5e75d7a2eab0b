#include "app/entry.h"

const char* gvUsageText() {
  return R"(Usage: gavo [options] FILE
       gavo BUILD-OPTION OPERANDS

Gavo picks what to do from the file name:
  NAME.demo.ini             play a demo          gavo intro.demo.ini
  NAME.gscn .gavo .lws.ini  preview a scene      gavo -paused city.gscn
  NAME.x .lwo .obj          preview one object   gavo ship.x
  NAME.lua .glua            run a script         gavo effects.lua

Viewer options (scenes):
  -framestart N     start at scene frame N          gavo -framestart 120 city.gscn
  -paused           start paused
  -ride             start flying the ride camera
  -rideopts N       ride options: 1 collide, 2 walk, 4 mouse look
  -ridespeed N      ride speed in cm/s (default 1000)
  -nomusic          play no music
  -syncupdate       reload the scene when it changes on disk
  -noidleinactive   keep rendering while paused in an inactive window
Display options (objects, scenes, demos):
  -display WxH      window size                     gavo -display 1280x720 intro.demo.ini
  -windowed 0|1     full screen or window
  -windowpos X,Y    window position                 gavo -windowpos 100,50 city.gscn
  -vsync 0|1        wait for vertical sync
  -stereo N         stereo mode
Capture options (demos):
  -cap PREFIX       render the demo to numbered images named after PREFIX
  -capfps RATE      capture frame rate (default 30)  gavo -cap shots/f -capfps 60 intro.demo.ini
Other options:
  -userlog          print warnings and errors only, open no message boxes
  -console          accepted for compatibility; output always goes to the terminal
  -binary SCENE     read a scene without rendering it

Build options (make a standalone copy of gavo that carries its data):
  -demoexe OUT FILE     demo (.demo.ini) or scene (.gscn) inside OUT
  -demodat OUT FILE     the same with the data in OUT's .dat side file
  -direxe OUT DIR       a whole directory inside OUT
  -dirdat OUT DIR       the same with the data in OUT's .dat side file
  -dirlistexe OUT LIST  the files a list names, inside OUT
  -exersc OUT           the engine's shaders and textures inside OUT
  -extract              (packaged copies only) unpack a packaged scene

Exit status: 0 success, 1 when the run or build failed, 255 when gavo could not start
(unsupported file, no file, settings or engine start failed).
)";
}
