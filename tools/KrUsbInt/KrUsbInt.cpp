// A stand-in for the maker's USB interface library: it simulates zero to
// eight attached printers whose identities come from a small state file, so
// that the installer's USB identity code runs against a real DLL.
//
// The state file is named by the environment variable KRUSBINT_STATE, else
// it is "KrUsbInt.state" beside the DLL.  One line per attached printer,
// "printer=<identity>" in decimal; other lines are ignored.  A write of the
// identity command rewrites the file: the printer reports the new identity
// as it would after a reset.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HMODULE g_module = nullptr;
constexpr int kHandleBase = 0x100;
// The printer's own command for setting its identity (then the identity
// byte), as its firmware knows it; the installer's command must match it.
const unsigned char kIdentityCommand[9] = {0x1B, 0x1D, 0x49, 0x44, 0x4B, 0x52, 0x03, 0x00, 0x01};

std::string StatePath() {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("KRUSBINT_STATE", path, MAX_PATH) > 0) return path;
    GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of("\\/") + 1) + "KrUsbInt.state";
}

std::vector<unsigned> LoadPrinters() {
    std::vector<unsigned> printers;
    std::FILE* f = std::fopen(StatePath().c_str(), "r");
    if (!f) return printers;
    char line[128];
    while (std::fgets(line, sizeof line, f) && printers.size() < 8)
        if (std::strncmp(line, "printer=", 8) == 0) printers.push_back(static_cast<unsigned>(std::strtoul(line + 8, nullptr, 10)));
    std::fclose(f);
    return printers;
}

void SavePrinters(const std::vector<unsigned>& printers) {
    std::FILE* f = std::fopen(StatePath().c_str(), "w");
    if (!f) return;
    std::fputs("; simulated USB printers, one line each with its identity\n", f);
    for (unsigned id : printers) std::fprintf(f, "printer=%u\n", id);
    std::fclose(f);
}

int Index(int handle) { return handle - kHandleBase; }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

__declspec(dllexport) int WINAPI OpenDeviceX(int index) {
    std::vector<unsigned> printers = LoadPrinters();
    return index >= 0 && index < static_cast<int>(printers.size()) ? kHandleBase + index : -1;
}

__declspec(dllexport) void WINAPI CloseDevice(int) {}

__declspec(dllexport) int WINAPI GetDescriptor(int handle, unsigned char* buffer) {
    std::vector<unsigned> printers = LoadPrinters();
    int i = Index(handle);
    if (!buffer || i < 0 || i >= static_cast<int>(printers.size())) return 0;
    // A standard USB device descriptor (18 bytes) in a 20-byte buffer.
    const unsigned char descriptor[18] = {18,   1,    0x10, 0x01, 0, 0, 0, 64, 0x4B, 0x52, 0x05, 0x50,
                                          static_cast<unsigned char>(printers[i] & 0xFF),
                                          static_cast<unsigned char>(printers[i] >> 8),
                                          1,    2,    3,    1};
    std::memset(buffer, 0, 20);
    std::memcpy(buffer, descriptor, sizeof descriptor);
    return 1;
}

__declspec(dllexport) int WINAPI uWrite(int handle, int, unsigned char* data, int length) {
    std::vector<unsigned> printers = LoadPrinters();
    int i = Index(handle);
    if (!data || length <= 0 || i < 0 || i >= static_cast<int>(printers.size())) return 0;
    if (length == 10 && std::memcmp(data, kIdentityCommand, sizeof kIdentityCommand) == 0) {
        printers[static_cast<std::size_t>(i)] = data[9];
        SavePrinters(printers);
    }
    return length;
}

}  // extern "C"
