#include "platform/message_box.h"

#include "platform/process.h"

#include <SDL.h>
#include <cstdio>

namespace gv::platform {
namespace {

bool interactiveBoxesAllowed() {
  return hasDisplay() && !environmentFlag("CI") && !environmentFlag("GAVO_NO_BOXES");
}

void printBox(const char* title, const char* text) {
  std::fprintf(stderr, "%s: %s\n", title, text);
  std::fflush(stderr);
}

void defaultMessageBox(const char* title, const char* text, BoxIcon icon) {
  if (interactiveBoxesAllowed()) {
    Uint32 flags = icon == BoxIcon::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, title, text, nullptr) == 0) return;
  }
  printBox(title, text);
}

MessageBoxHandler currentHandler = defaultMessageBox;

}  // namespace

void showMessageBox(const char* title, const char* text, BoxIcon icon) {
  currentHandler(title, text, icon);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = currentHandler;
  currentHandler = handler ? handler : defaultMessageBox;
  return previous;
}

}  // namespace gv::platform
