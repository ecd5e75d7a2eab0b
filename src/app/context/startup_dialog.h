#pragma once
// The start-up dialog's state, apart from its window: the mode list, the selection, the
// full-screen choice and what Start hands over.
#include "app/context/settings.h"

class StartupDialogState {
 public:
  // Filters and sorts the offered modes, preselects one and checks "Full screen".
  StartupDialogState(const std::vector<SGvDisplayMode>& offered, const SGvDisplayMode& desktop);

  const std::vector<SGvDisplayMode>& modes() const { return modes_; }
  int selected() const { return selected_; }
  void select(int entry);
  bool fullScreen() const { return fullScreen_; }
  void setFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }
  // Start needs a chosen mode.
  bool startEnabled() const { return selected_ >= 0; }
  // The record Start confirms.
  SGvDisplaySettings choice() const;

 private:
  std::vector<SGvDisplayMode> modes_;
  int selected_ = -1;
  bool fullScreen_ = true;
};
