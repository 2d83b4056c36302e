// The maker's USB library on the simulated machine, with zero to eight
// attached printers.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"

namespace sys::sim {

class SimUsb final : public IUsbLibrary {
public:
    explicit SimUsb(Faults& faults) : m_faults(faults) {}

    LibraryHandle LoadLibraryA(const char* name, std::uint32_t* error) override;
    bool HasExport(LibraryHandle library, const char* name) override;
    void FreeLibrary(LibraryHandle library) override;
    int OpenDeviceX(LibraryHandle library, int index) override;
    void CloseDevice(LibraryHandle library, int handle) override;
    int GetDescriptor(LibraryHandle library, int handle, std::uint8_t* buffer20) override;
    int uWrite(LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) override;

    // Whether "KrUsbInt.dll" can be loaded, and which exports it lacks.
    bool installed = true;
    std::set<std::string> missingExports;
    // The identities of the attached printers, by device index.
    std::vector<std::uint16_t> printers;
    // What each uWrite sent.
    std::vector<std::vector<std::uint8_t>> written;
    int loadedCount() const { return m_loaded; }
    int openDevices() const { return static_cast<int>(m_open.size()); }

private:
    Faults& m_faults;
    int m_loaded = 0;
    std::multiset<int> m_open;
};

}  // namespace sys::sim
