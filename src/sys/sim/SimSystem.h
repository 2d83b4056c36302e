// The simulated system: version, a virtual clock, WIN.INI, broadcasts,
// restarts, the service control manager and message boxes.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"
#include "sys/sim/SimFileSystem.h"
#include "sys/sim/SimProfile.h"
#include "sys/sim/SimRegistry.h"

namespace sys::sim {

enum : std::uint32_t { kErrorServiceDoesNotExist = 1060 };

class SimSystem final : public ISystem {
public:
    SimSystem(SimFileSystem& fs, SimRegistry& registry, Faults& faults)
        : m_fs(fs), m_registry(registry), m_faults(faults) {}

    bool Version(OsVersion* version, std::uint32_t* error) override;
    void Sleep(std::uint32_t milliseconds) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason, std::uint32_t* error) override;
    bool WriteProfileStringA(const char* section, const char* key, const char* value, std::uint32_t* error) override;
    std::uint32_t GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                                   std::uint32_t size) override;
    void BroadcastWinIniChange(const char* section, std::uint32_t timeoutMs) override;
    void NotifyWinIniChange(const char* section) override;
    // The local time `now` milliseconds after `startTime`.
    SystemTime GetLocalTime() override;

    OsVersion version{5, 1, 2600, 2};
    // Virtual time in milliseconds: Sleep advances it and never sleeps.
    std::uint64_t now = 0;
    // The local time when the virtual clock stood at 0.
    SystemTime startTime{2024, 5, 6, 9, 30, 0, 0};
    std::vector<std::uint32_t> waits;
    // Each WM_WININICHANGE broadcast: its section, or "<null>".
    std::vector<std::string> broadcasts;
    // Each WM_WININICHANGE notification sent without waiting.
    std::vector<std::string> notifications;
    // How often the profile cache was flushed.
    int profileFlushes = 0;
    // Each ExitWindowsEx call: its flags (nothing is ever shut down).
    std::vector<std::uint32_t> exitWindowsCalls;

    std::string WinIniPath() const { return m_fs.windowsDir + "\\win.ini"; }

private:
    // On the NT family [windows], [devices] and [PrinterPorts] live in the registry.
    bool MappedToRegistry(const std::string& section) const;

    SimFileSystem& m_fs;
    SimRegistry& m_registry;
    Faults& m_faults;
};

// The service control manager, with the services' states on the virtual clock.
class SimServices final : public IServices {
public:
    SimServices(SimSystem& system, Faults& faults) : m_system(system), m_faults(faults) {}

    ServiceHandle OpenManager(std::uint32_t access, std::uint32_t* error) override;
    ServiceHandle OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                              std::uint32_t* error) override;
    bool Stop(ServiceHandle service, std::uint32_t* error) override;
    bool Start(ServiceHandle service, std::uint32_t* error) override;
    bool QueryState(ServiceHandle service, std::uint32_t* state, std::uint32_t* error) override;
    bool Close(ServiceHandle handle) override;

    struct Service {
        std::uint32_t state = kServiceRunning;
        // How long a start stays pending before the service runs.
        std::uint32_t startDelayMs = 0;
        std::uint64_t runningAt = 0;
        int stops = 0;
        int starts = 0;
    };
    // By folded name; the NT family has "SPOOLER".
    std::map<std::string, Service> services = {{"SPOOLER", Service{}}};
    Service& Spooler() { return services["SPOOLER"]; }
    std::size_t OpenHandleCount() const { return m_handles.size(); }

private:
    Service* Find(ServiceHandle handle, std::uint32_t access);
    void Advance(Service& s) const;

    SimSystem& m_system;
    Faults& m_faults;
    struct Handle {
        std::string service;  // empty for the manager
        std::uint32_t access;
    };
    std::map<ServiceHandle, Handle> m_handles;
    ServiceHandle m_next = 0x9000;
};

// Message boxes: recorded, and answered from a script.
class SimMessageBox final : public IMessageBox {
public:
    MsgAnswer ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) override;
    MsgAnswer ShowText(const char* text, MsgButtons buttons, MsgIcon icon) override;
    // The program's string table (res/strings.rc) in code page 936.
    std::string MessageText(int id) override;

    struct Shown {
        int id;             // 0 for a plain text
        std::string text;   // the following text, or the plain text
        MsgButtons buttons;
        MsgIcon icon;
    };
    std::vector<Shown> shown;
    // Answers to give, in order; when none is left the first button is taken.
    std::deque<MsgAnswer> answers;

    // "116:er = 5", "T:some text", ... one entry per box, for compact checks.
    std::vector<std::string> Log() const;

private:
    MsgAnswer Answer(MsgButtons buttons);
};

}  // namespace sys::sim
