// Screenshots as PNG files, read from the screen: what the user sees of a
// window, or the whole screen.  The window handle is taken as a plain
// pointer so that this header needs no <windows.h>; an HWND converts to it.
#pragma once

// The window's rectangle on screen (GetWindowRect), clipped to the screen.
// False when the window has no area on screen or the file cannot be written.
bool SaveWindowPng(void* window, const char* path);
bool SaveWindowPng(void* window, const wchar_t* path);

// The whole screen.
bool SaveScreenPng(const char* path);
bool SaveScreenPng(const wchar_t* path);
