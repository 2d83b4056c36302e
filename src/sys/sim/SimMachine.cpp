#include "sys/sim/SimMachine.h"

namespace sys::sim {

void SimMachine::SetWindows(const std::string& name) {
    const bool w98 = name == "win98";
    if (w98)
        system.version = OsVersion{4, 10, 2222, 1};
    else if (name == "nt40")
        system.version = OsVersion{4, 0, 1381, 2};
    else if (name == "win2k")
        system.version = OsVersion{5, 0, 2195, 2};
    else if (name == "win2003")
        system.version = OsVersion{5, 2, 3790, 2};
    else
        system.version = OsVersion{5, 1, 2600, 2};
    fs.windowsDir = "C:\\WINDOWS";
    fs.systemDir = w98 ? "C:\\WINDOWS\\SYSTEM" : "C:\\WINDOWS\\system32";
    fs.MakeDir(fs.systemDir);
    // The spooler's folders as Wine answers them: the running system's
    // environment is "Windows 4.0" on 98/Me.
    spooler.driverDirectory = fs.systemDir + (w98 ? "\\spool\\drivers\\win40" : "\\spool\\drivers\\w32x86");
    spooler.processorDirectory = fs.systemDir + (w98 ? "\\spool\\prtprocs\\win40" : "\\spool\\prtprocs\\w32x86");
    fs.MakeDir(spooler.driverDirectory + "\\3");
    fs.MakeDir(spooler.processorDirectory);
    // The NT family keeps the serial ports' default settings here.
    if (!w98)
        registry.WriteValue("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:", kRegSz,
                            std::string("9600,n,8,1", 11));
    // Neither Windows 98/Me nor NT 4 export SetDefaultPrinterA; 98/Me has no spooler service.
    spooler.hasSetDefaultPrinter = system.version.major >= 5;
    if (w98)
        services.services.clear();
    else if (services.services.empty())
        services.services["SPOOLER"] = SimServices::Service{};
}

}  // namespace sys::sim
