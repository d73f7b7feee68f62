// The robot's side of accessibility: what a screen reader says for a window.
#pragma once
#include <windows.h>

#include <string>

namespace robot {

// The name of the window's accessible object (the client area's, as a screen
// reader takes it), code page 1252; a text in parentheses when there is none.
std::string AccessibleName(HWND window);

}  // namespace robot
