#include "install/SpoolerControl.h"

#include <cstdio>

#include "resource.h"

namespace {

const char kSpooler[] = "Spooler";

void ShowCode(const sys::Platform& p, const char* format, std::uint32_t error) {
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(error));
    p.messages.ShowText(text, sys::MsgButtons::Ok, sys::MsgIcon::Error);
}

}  // namespace

void StopSpooler(const sys::Platform& p) {
    std::uint32_t error = 0;
    sys::ServiceHandle manager = p.services.OpenManager(sys::kScManagerAllAccess, &error);
    if (!manager) return;
    sys::ServiceHandle service = p.services.OpenServiceA(manager, kSpooler, sys::kServiceStop, &error);
    if (!service) {
        p.system.Sleep(100);
        p.services.Close(manager);
        return;
    }
    if (!p.services.Stop(service, &error) && error != sys::kErrorServiceNotActive)
        ShowCode(p, "Stop spool service error, error code = %u", error);
    p.services.Close(service);
    p.system.Sleep(100);
    p.services.Close(manager);
}

void StartSpooler(const sys::Platform& p) {
    std::uint32_t error = 0;
    sys::ServiceHandle manager = p.services.OpenManager(sys::kScManagerAllAccess, &error);
    if (!manager) return;
    sys::ServiceHandle service = p.services.OpenServiceA(manager, kSpooler, sys::kServiceStart, &error);
    if (!service) {
        p.services.Close(manager);
        return;
    }
    if (!p.services.Start(service, &error) && error != sys::kErrorServiceAlreadyRunning)
        ShowCode(p, "Start spool service error, error code = %u", error);
    p.services.Close(service);
    p.services.Close(manager);
}

bool WaitForSpooler(const sys::Platform& p) {
    std::uint32_t state = sys::kServiceStopped;
    std::uint32_t error = 0;
    sys::ServiceHandle manager = p.services.OpenManager(sys::kScManagerAllAccess, &error);
    if (manager) {
        sys::ServiceHandle service = p.services.OpenServiceA(manager, kSpooler, sys::kServiceQueryStatus, &error);
        // Without the service there is nothing to poll.
        if (service) {
            for (int poll = 0; poll < 10; ++poll) {
                std::uint32_t now = 0;
                if (p.services.QueryState(service, &now, &error)) state = now;
                if (state == sys::kServiceRunning) break;
                p.system.Sleep(300);
            }
            p.services.Close(service);
        }
        p.services.Close(manager);
    }
    if (state == sys::kServiceRunning) return true;
    p.messages.ShowText("StartSpoolService error", sys::MsgButtons::Ok, sys::MsgIcon::Error);
    return false;
}

void RestartWindows(const sys::Platform& p) {
    std::uint32_t error = 0;
    if (!p.system.ExitWindowsEx(sys::kEwxReboot, 0, &error))
        p.messages.ShowMessage(IDS_RESTART_FAILED, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Error);
}
