// The spooler and the service control manager, one Win32 call per method.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <utility>

#include "sys/win32/SystemLibrary.h"
#include "sys/win32/Win32Platform.h"

namespace sys::win32 {

namespace {

char* Text(const std::string& s) { return const_cast<char*>(s.c_str()); }
char* Text(const std::optional<std::string>& s) { return s ? const_cast<char*>(s->c_str()) : nullptr; }
std::string Own(const char* s) { return s ? s : ""; }
std::optional<std::string> OwnOptional(const char* s) { return s ? std::optional<std::string>(s) : std::nullopt; }

// A PRINTER_INFO_2A pointing into a PrinterInfo2 and its DEVMODE block.
struct PrinterInfoA {
    explicit PrinterInfoA(const PrinterInfo2& p) {
        std::memset(&info, 0, sizeof info);
        info.pServerName = Text(p.pServerName);
        info.pPrinterName = Text(p.pPrinterName);
        info.pShareName = Text(p.pShareName);
        info.pPortName = Text(p.pPortName);
        info.pDriverName = Text(p.pDriverName);
        info.pComment = Text(p.pComment);
        info.pLocation = Text(p.pLocation);
        if (p.pDevMode) {
            devMode = DevModeToWrite(p);
            // Some spoolers copy a whole DEVMODEA of their own headers'
            // size (156 bytes, with the panning fields) whatever dmSize
            // says: zeros after the block keep that copy inside our memory
            // and make what they store the same on every run.
            devMode.resize(devMode.size() + sizeof(DEVMODEA), 0);
            info.pDevMode = reinterpret_cast<DEVMODEA*>(devMode.data());
        }
        info.pSepFile = Text(p.pSepFile);
        info.pPrintProcessor = Text(p.pPrintProcessor);
        info.pDatatype = Text(p.pDatatype);
        info.pParameters = Text(p.pParameters);
        info.pSecurityDescriptor = nullptr;
        info.Attributes = p.Attributes;
        info.Priority = p.Priority;
        info.DefaultPriority = p.DefaultPriority;
        info.StartTime = p.StartTime;
        info.UntilTime = p.UntilTime;
        info.Status = p.Status;
        info.cJobs = p.cJobs;
        info.AveragePPM = p.AveragePPM;
    }
    PRINTER_INFO_2A info;
    std::vector<std::uint8_t> devMode;
};

PrinterInfo2 FromA(const PRINTER_INFO_2A& a) {
    PrinterInfo2 p;
    p.pServerName = OwnOptional(a.pServerName);
    p.pPrinterName = Own(a.pPrinterName);
    p.pShareName = OwnOptional(a.pShareName);
    p.pPortName = Own(a.pPortName);
    p.pDriverName = Own(a.pDriverName);
    p.pComment = Own(a.pComment);
    p.pLocation = Own(a.pLocation);
    if (a.pDevMode) {
        // The whole block as the spooler keeps it, never more than its own
        // sizes say (an older spooler's public part may be shorter than ours).
        const auto* block = reinterpret_cast<const std::uint8_t*>(a.pDevMode);
        ReadDevModeBlock(p, block, static_cast<std::size_t>(a.pDevMode->dmSize) + a.pDevMode->dmDriverExtra);
    }
    p.pSepFile = Own(a.pSepFile);
    p.pPrintProcessor = Own(a.pPrintProcessor);
    p.pDatatype = Own(a.pDatatype);
    p.pParameters = Own(a.pParameters);
    p.Attributes = a.Attributes;
    p.Priority = a.Priority;
    p.DefaultPriority = a.DefaultPriority;
    p.StartTime = a.StartTime;
    p.UntilTime = a.UntilTime;
    p.Status = a.Status;
    p.cJobs = a.cJobs;
    p.AveragePPM = a.AveragePPM;
    return p;
}

HANDLE H(PrinterHandle h) { return reinterpret_cast<HANDLE>(h); }
SC_HANDLE S(ServiceHandle h) { return reinterpret_cast<SC_HANDLE>(h); }

// Calls the spooler function of that name, from winspool.drv of the system
// directory.  When the library or the function cannot be had, the call
// fails as the function itself would (FALSE or a null handle), with the
// loader's error (126, 127) left for GetLastError.
template <class Function, class... Args>
auto Spool(const char* name, Args... args) -> decltype(std::declval<Function*>()(args...)) {
    Function* function = SystemCall<Function>("winspool.drv", name);
    if (!function) return {};
    return function(args...);
}

bool Result(BOOL ok, std::uint32_t* error) {
    *error = ok ? 0 : GetLastError();
    return ok != FALSE;
}

}  // namespace

bool Win32Spooler::AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle,
                               std::uint32_t* error) {
    PrinterInfoA a(info);
    HANDLE h = Spool<decltype(::AddPrinterA)>("AddPrinterA", nullptr, level, reinterpret_cast<BYTE*>(&a.info));
    *handle = reinterpret_cast<PrinterHandle>(h);
    return Result(h != nullptr, error);
}

bool Win32Spooler::ClosePrinter(PrinterHandle handle, std::uint32_t* error) {
    return Result(Spool<decltype(::ClosePrinter)>("ClosePrinter", H(handle)), error);
}

bool Win32Spooler::AddPrinterDriverA(const DriverInfo3& d, std::uint32_t* error) {
    std::string dependent = MultiString(d.pDependentFiles);
    DRIVER_INFO_3A a;
    std::memset(&a, 0, sizeof a);
    a.cVersion = d.cVersion;
    a.pName = Text(d.pName);
    a.pEnvironment = Text(d.pEnvironment);
    a.pDriverPath = Text(d.pDriverPath);
    a.pDataFile = Text(d.pDataFile);
    a.pConfigFile = Text(d.pConfigFile);
    a.pHelpFile = Text(d.pHelpFile);
    a.pDependentFiles = &dependent[0];
    a.pMonitorName = Text(d.pMonitorName);
    a.pDefaultDataType = Text(d.pDefaultDataType);
    return Result(Spool<decltype(::AddPrinterDriverA)>("AddPrinterDriverA", nullptr, 3, reinterpret_cast<BYTE*>(&a)), error);
}

bool Win32Spooler::AddMonitorA(const MonitorInfo2& m, std::uint32_t* error) {
    MONITOR_INFO_2A a;
    a.pName = Text(m.pName);
    a.pEnvironment = Text(m.pEnvironment);
    a.pDLLName = Text(m.pDLLName);
    return Result(Spool<decltype(::AddMonitorA)>("AddMonitorA", nullptr, 2, reinterpret_cast<BYTE*>(&a)), error);
}

bool Win32Spooler::AddPrintProcessorA(const std::optional<std::string>& environment, const char* pathName,
                                      const char* processorName, std::uint32_t* error) {
    return Result(Spool<decltype(::AddPrintProcessorA)>("AddPrintProcessorA", nullptr, Text(environment), const_cast<char*>(pathName),
                                       const_cast<char*>(processorName)),
                  error);
}

bool Win32Spooler::EnumPortsA(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed,
                              std::uint32_t* error) {
    std::vector<BYTE> buffer;
    try {
        buffer.assign(bufferSize, 0);
    } catch (const std::bad_alloc&) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    DWORD need = 0, returned = 0;
    BOOL ok = Spool<decltype(::EnumPortsA)>("EnumPortsA", nullptr, 1, bufferSize ? buffer.data() : nullptr, bufferSize, &need, &returned);
    *needed = need;
    if (!Result(ok, error)) return false;
    if (ports) {
        ports->clear();
        const PORT_INFO_1A* info = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
        for (DWORD i = 0; i < returned; ++i) ports->push_back(Own(info[i].pName));
    }
    return true;
}

bool Win32Spooler::PrinterDriverDirectory(std::string* directory, std::uint32_t* error) {
    char buffer[MAX_PATH * 2] = {};
    DWORD needed = 0;
    BOOL ok = Spool<decltype(::GetPrinterDriverDirectoryA)>("GetPrinterDriverDirectoryA", nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer), sizeof buffer,
                                           &needed);
    *directory = ok ? buffer : "";
    return Result(ok, error);
}

bool Win32Spooler::PrintProcessorDirectory(std::string* directory, std::uint32_t* error) {
    char buffer[MAX_PATH * 2] = {};
    DWORD needed = 0;
    BOOL ok = Spool<decltype(::GetPrintProcessorDirectoryA)>("GetPrintProcessorDirectoryA", nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer), sizeof buffer,
                                            &needed);
    *directory = ok ? buffer : "";
    return Result(ok, error);
}

bool Win32Spooler::OpenPrinterA(const char* name, PrinterHandle* handle, std::uint32_t* error) {
    HANDLE h = nullptr;
    BOOL ok = Spool<decltype(::OpenPrinterA)>("OpenPrinterA", const_cast<char*>(name), &h, nullptr);
    *handle = ok ? reinterpret_cast<PrinterHandle>(h) : 0;
    return Result(ok, error);
}

bool Win32Spooler::GetPrinterA(PrinterHandle handle, std::uint32_t bufferSize, PrinterInfo2* info,
                               std::uint32_t* needed, std::uint32_t* error) {
    std::vector<BYTE> buffer;
    try {
        buffer.assign(bufferSize, 0);
    } catch (const std::bad_alloc&) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    DWORD need = 0;
    BOOL ok = Spool<decltype(::GetPrinterA)>("GetPrinterA", H(handle), 2, bufferSize ? buffer.data() : nullptr, bufferSize, &need);
    *needed = need;
    if (!Result(ok, error)) return false;
    if (info) *info = FromA(*reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data()));
    return true;
}

bool Win32Spooler::SetPrinterA(PrinterHandle handle, const PrinterInfo2& info, std::uint32_t* error) {
    PrinterInfoA a(info);
    return Result(Spool<decltype(::SetPrinterA)>("SetPrinterA", H(handle), 2, reinterpret_cast<BYTE*>(&a.info), 0), error);
}

ISpooler::DefaultResult Win32Spooler::SetDefaultPrinterA(const char* name, std::uint32_t* error) {
    HMODULE lib = LoadSystemLibrary("winspool.drv");
    if (!lib) {
        *error = GetLastError();
        return DefaultResult::NoLibrary;
    }
    using SetDefault = BOOL(WINAPI*)(LPCSTR);
    auto fn = reinterpret_cast<SetDefault>(reinterpret_cast<void*>(GetProcAddress(lib, "SetDefaultPrinterA")));
    if (!fn) {
        *error = GetLastError();
        FreeLibrary(lib);
        return DefaultResult::NoFunction;
    }
    BOOL ok = fn(name);
    *error = ok ? 0 : GetLastError();
    FreeLibrary(lib);
    return ok ? DefaultResult::Set : DefaultResult::Refused;
}

ServiceHandle Win32Services::OpenManager(std::uint32_t access, std::uint32_t* error) {
    SC_HANDLE h = OpenSCManagerA(nullptr, nullptr, access);
    *error = h ? 0 : GetLastError();
    return reinterpret_cast<ServiceHandle>(h);
}

ServiceHandle Win32Services::OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                                          std::uint32_t* error) {
    SC_HANDLE h = ::OpenServiceA(S(manager), name, access);
    *error = h ? 0 : GetLastError();
    return reinterpret_cast<ServiceHandle>(h);
}

bool Win32Services::Stop(ServiceHandle service, std::uint32_t* error) {
    SERVICE_STATUS status;
    return Result(ControlService(S(service), SERVICE_CONTROL_STOP, &status), error);
}

bool Win32Services::Start(ServiceHandle service, std::uint32_t* error) {
    return Result(StartServiceA(S(service), 0, nullptr), error);
}

bool Win32Services::QueryState(ServiceHandle service, std::uint32_t* state, std::uint32_t* error) {
    SERVICE_STATUS status;
    std::memset(&status, 0, sizeof status);
    BOOL ok = QueryServiceStatus(S(service), &status);
    *state = status.dwCurrentState;
    return Result(ok, error);
}

bool Win32Services::Close(ServiceHandle handle) { return CloseServiceHandle(S(handle)) != FALSE; }

}  // namespace sys::win32
