// A simulated Windows machine for the host tests: the parts of Windows the
// installer touches, each with failure injection.
#pragma once

#include "sys/Platform.h"
#include "sys/sim/Faults.h"
#include "sys/sim/SimFileSystem.h"
#include "sys/sim/SimFiles.h"
#include "sys/sim/SimProfile.h"
#include "sys/sim/SimRegistry.h"

namespace sys::sim {

class SimMachine {
public:
    SimMachine() : registry(faults), profile(fs, faults), files(fs, faults) {}
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    Platform platform() { return Platform{registry, profile, files}; }

    Faults faults;
    SimFileSystem fs;
    SimRegistry registry;
    SimProfile profile;
    SimFiles files;
};

}  // namespace sys::sim
