#include "sys/sim/SimMachine.h"

#include <algorithm>
#include <cstdlib>

#include "sys/sim/WinText.h"

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

namespace sys::sim {

void SimMachine::InsertMedium(const std::string& hostFolder) {
    fs.Mount("E:\\", hostFolder);
    files.programPath = "E:\\setup.exe";
    fs.currentDir = "E:\\";

    std::vector<std::string> serial, usb;
    for (int i = 1; i <= 8; ++i) serial.push_back("KRCOM" + std::to_string(i) + ":");
    const std::string main = "E:\\DRVCONFIG\\setup.ini";
    char text[64];
    profile.GetPrivateString("SUPPORTED-USB-DEVICE", "PRNCOUNT", "0", text, sizeof text, main.c_str());
    // The monitor walks at most 100,000 listed names, as the installer does.
    const int count = std::min(std::atoi(text), 100000);
    // The USB monitor offers all four ports of every model it lists.
    for (int i = 0; i < count; ++i) {
        profile.GetPrivateString("SUPPORTED-USB-DEVICE", std::to_string(i).c_str(), "", text, sizeof text, main.c_str());
        std::string listed = text;
        const std::string model = listed.substr(0, listed.rfind('_') + 1);
        for (int port = 1; port <= 4; ++port) {
            const std::string name = model + std::to_string(port);
            if (std::find(usb.begin(), usb.end(), name) == usb.end()) usb.push_back(name);
        }
    }
    // The package's monitor DLLs, read as the package lays them out (not
    // through the installer's reader, whose faults the tests are to find).
    for (const char* family : {".98", ".NT", ".2K", ".XP", ".2003"}) {
        const std::string section = std::string("COMMON-MONITOR") + family;
        char com[256], usbDll[256];
        profile.GetPrivateString(section.c_str(), "COMMONitorPDLLName", "0", com, sizeof com, main.c_str());
        profile.GetPrivateString(section.c_str(), "USBMONitorPDLLName", "0", usbDll, sizeof usbDll, main.c_str());
        // Under its own name and under the name a busy DLL is installed as.
        for (const std::string& dll : {std::string(com), "n" + std::string(com)})
            spooler.monitorPorts[FoldCase(dll)] = serial;
        for (const std::string& dll : {std::string(usbDll), "n" + std::string(usbDll)})
            spooler.monitorPorts[FoldCase(dll)] = usb;
    }
}

}  // namespace sys::sim
