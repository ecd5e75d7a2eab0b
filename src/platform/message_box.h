#pragma once
// Modal message boxes. A real window is shown only where a person can answer it: a display
// exists and neither CI nor GAVO_NO_BOXES is set. Everywhere else the box is printed to
// standard error, so nothing ever waits for a click that cannot come.

namespace gv::platform {

enum class BoxIcon { Information, Error };

using MessageBoxHandler = void (*)(const char* title, const char* text, BoxIcon icon);

// Shows the box through the current handler; returns when it was dismissed.
void showMessageBox(const char* title, const char* text, BoxIcon icon);

// Replaces the handler (tests record boxes this way); nullptr restores the default.
// Returns the previous handler.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace gv::platform
