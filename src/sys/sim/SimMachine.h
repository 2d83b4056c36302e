// A simulated Windows machine for the host tests: the parts of Windows the
// installer touches, each with failure injection.
#pragma once

#include <string>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"
#include "sys/sim/SimFileSystem.h"
#include "sys/sim/SimFiles.h"
#include "sys/sim/SimProfile.h"
#include "sys/sim/SimRegistry.h"
#include "sys/sim/SimSpooler.h"
#include "sys/sim/SimSystem.h"
#include "sys/sim/SimUsb.h"

namespace sys::sim {

class SimMachine {
public:
    SimMachine()
        : registry(faults),
          profile(fs, faults),
          files(fs, faults),
          system(fs, registry, faults),
          services(system, faults),
          spooler(fs, system, registry, faults),
          usb(faults) {
        fs.MakeDir(fs.tempDir);
    }
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    Platform platform() { return Platform{registry, profile, files, spooler, services, system, messages, usb}; }

    // Sets the version and the folders of one Windows family, as Wine's
    // prefixes report them: "win98", "nt40", "win2k", "winxp" or "win2003".
    void SetWindows(const std::string& name);

    // Inserts a driver package as the medium in drive E: and starts the setup
    // program from it.  The package's port monitors, once added, offer the
    // virtual serial ports KRCOM1: to KRCOM8: and all four USB ports of each
    // model the package lists, as the test package's monitors do.
    void InsertMedium(const std::string& hostFolder);

    Faults faults;
    SimFileSystem fs;
    SimRegistry registry;
    SimProfile profile;
    SimFiles files;
    SimSystem system;
    SimServices services;
    SimSpooler spooler;
    SimMessageBox messages;
    SimUsb usb;
};

}  // namespace sys::sim
