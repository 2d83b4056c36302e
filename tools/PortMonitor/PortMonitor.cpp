// A minimal print port monitor, built under the names of the sample
// package's serial and USB port monitors and as a stand-in for Windows' PJL
// language monitor, so that the spooler (Wine's, in the tests) really loads
// and registers them.  Its ports are named after the DLL it is built as: a
// USB monitor offers the sample package's USB ports, a serial monitor the
// virtual ports KRCOM1: to KRCOM8:, a language monitor none.  Whatever is
// printed to a port is accepted and dropped.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HMODULE g_module = nullptr;

std::vector<std::wstring> Ports() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
    std::vector<std::wstring> ports;
    if (name.find(L"PJLMON") != std::wstring::npos) return ports;
    if (name.find(L"USB") != std::wstring::npos) {
        for (const wchar_t* model : {L"MTR-Q5", L"MTR-R80", L"MTR-T2", L"MTR-L58", L"MTR-L108", L"MTR-E80"})
            for (int i = 1; i <= 4; ++i) ports.push_back(std::wstring(L"USB_") + model + L"_" + std::to_wstring(i));
    } else {
        for (int i = 1; i <= 8; ++i) ports.push_back(L"KRCOM" + std::to_wstring(i) + L":");
    }
    return ports;
}

BOOL WINAPI MonEnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const std::vector<std::wstring> ports = Ports();
    const DWORD entry = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    const wchar_t description[] = L"KORVALE port";
    DWORD need = 0;
    for (const std::wstring& p : ports) {
        need += entry + static_cast<DWORD>((p.size() + 1) * sizeof(wchar_t));
        if (level == 2) need += sizeof description;
    }
    *needed = need;
    *returned = 0;
    if (size < need || (!buffer && need)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    // The records first, their texts behind them.
    BYTE* text = buffer + entry * ports.size();
    for (std::size_t i = 0; i < ports.size(); ++i) {
        wchar_t* name = reinterpret_cast<wchar_t*>(text);
        std::memcpy(name, ports[i].c_str(), (ports[i].size() + 1) * sizeof(wchar_t));
        text += (ports[i].size() + 1) * sizeof(wchar_t);
        if (level == 1) {
            reinterpret_cast<PORT_INFO_1W*>(buffer)[i].pName = name;
        } else {
            wchar_t* desc = reinterpret_cast<wchar_t*>(text);
            std::memcpy(desc, description, sizeof description);
            text += sizeof description;
            PORT_INFO_2W& info = reinterpret_cast<PORT_INFO_2W*>(buffer)[i];
            info.pPortName = name;
            info.pMonitorName = nullptr;
            info.pDescription = desc;
            info.fPortType = PORT_TYPE_WRITE;
            info.Reserved = 0;
        }
    }
    *returned = static_cast<DWORD>(ports.size());
    return TRUE;
}

BOOL WINAPI MonOpenPort(HANDLE, LPWSTR, PHANDLE handle) {
    *handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x4B52));
    return TRUE;
}
BOOL WINAPI MonStartDocPort(HANDLE, LPWSTR, DWORD, DWORD, LPBYTE) { return TRUE; }
BOOL WINAPI MonWritePort(HANDLE, LPBYTE, DWORD size, LPDWORD written) {
    *written = size;
    return TRUE;
}
BOOL WINAPI MonReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
    *read = 0;
    return TRUE;
}
BOOL WINAPI MonEndDocPort(HANDLE) { return TRUE; }
BOOL WINAPI MonClosePort(HANDLE) { return TRUE; }
VOID WINAPI MonShutdown(HANDLE) {}

MONITOR2 g_monitor;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

__declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    std::memset(&g_monitor, 0, sizeof g_monitor);
    g_monitor.cbSize = sizeof g_monitor;
    g_monitor.pfnEnumPorts = MonEnumPorts;
    g_monitor.pfnOpenPort = MonOpenPort;
    g_monitor.pfnStartDocPort = MonStartDocPort;
    g_monitor.pfnWritePort = MonWritePort;
    g_monitor.pfnReadPort = MonReadPort;
    g_monitor.pfnEndDocPort = MonEndDocPort;
    g_monitor.pfnClosePort = MonClosePort;
    g_monitor.pfnShutdown = MonShutdown;
    *monitor = reinterpret_cast<HANDLE>(&g_monitor);
    return &g_monitor;
}

}  // extern "C"
