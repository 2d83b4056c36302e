#include "sys/win32/SystemLibrary.h"

#include <shellapi.h>

#include <cstring>
#include <string>

namespace sys::win32 {

namespace {

// The libraries loaded for the run: a handful, looked up by name.
struct Loaded {
    const char* name;
    HMODULE module;
};
Loaded g_loaded[8];

HMODULE KeptLibrary(const char* name) {
    for (const Loaded& l : g_loaded) {
        if (l.name && _stricmp(l.name, name) == 0) return l.module;
    }
    HMODULE module = _stricmp(name, "comctl32.dll") == 0 ? CommonControlsLibrary() : LoadSystemLibrary(name);
    if (!module) return nullptr;
    for (Loaded& l : g_loaded) {
        if (!l.name) {
            l = {name, module};
            break;
        }
    }
    return module;
}

// Whether the process's activation context redirects a library by name
// (XP and later; the function is absent before).
bool Redirected(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using Find = BOOL(WINAPI*)(DWORD, const GUID*, ULONG, LPCSTR, PACTCTX_SECTION_KEYED_DATA);
    auto find = kernel ? reinterpret_cast<Find>(reinterpret_cast<void*>(GetProcAddress(kernel, "FindActCtxSectionStringA")))
                       : nullptr;
    if (!find) return false;
    ACTCTX_SECTION_KEYED_DATA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = sizeof data;
    return find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &data) != FALSE;
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    char dir[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::string path(dir, n);
    if (path.back() != '\\') path += '\\';
    path += name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemFunction(const char* library, const char* function) {
    HMODULE module = KeptLibrary(library);
    return module ? GetProcAddress(module, function) : nullptr;
}

HMODULE CommonControlsLibrary() {
    static HMODULE module = Redirected("comctl32.dll") ? LoadLibraryA("comctl32.dll") : LoadSystemLibrary("comctl32.dll");
    return module;
}

HINSTANCE ShellOpen(const char* file, int show) {
    auto open = SystemCall<decltype(::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    return open ? open(nullptr, "open", file, nullptr, nullptr, show) : nullptr;
}

}  // namespace sys::win32
