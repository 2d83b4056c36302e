// Windows' own libraries that the programs do not import.
//
// A program's imports are resolved by the loader before any of its code
// runs, and before XP's side-by-side redirection the loader looks in the
// program's own folder first: a winspool.drv or comctl32.dll planted beside
// a setup program in a download folder would run with its rights.  The
// programs therefore import only what every family's loader takes from the
// system (kernel32, user32, gdi32, advapi32 and the C runtime) and load the
// rest here, by full path from the system directory.
#pragma once

#include <windows.h>

namespace sys::win32 {

// Loads a library of the system directory by its full path; its own
// dependencies are looked up beside it.  nullptr when it cannot be loaded
// (GetLastError tells why).  Each load counts: FreeLibrary it when done.
HMODULE LoadSystemLibrary(const char* name);

// A function of a system library, which is loaded once and kept for the
// rest of the run.  nullptr (with GetLastError set, 126 or 127) when the
// library or the function is not there.
FARPROC SystemFunction(const char* library, const char* function);

// The same, typed: SystemCall<decltype(::ShellExecuteA)>("shell32.dll", ...).
template <class Function>
Function* SystemCall(const char* library, const char* function) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(SystemFunction(library, function)));
}

// The common-controls library.  Where the program's manifest redirects it
// (version 6 on XP and later), it is loaded by name, which the activation
// context resolves to the system's side-by-side copy before any folder is
// searched; elsewhere by full path from the system directory.  Kept for the
// rest of the run; nullptr when it cannot be loaded.
HMODULE CommonControlsLibrary();

// ShellExecuteA(nullptr, "open", file, nullptr, nullptr, show), from shell32
// of the system directory: above 32 when it opened, 0 when shell32 could not
// be had.
HINSTANCE ShellOpen(const char* file, int show);

}  // namespace sys::win32
