// The machine a shared test suite runs on: the simulated machine on the
// host, the real system (under Wine) in the win32 build.  The suites reach
// Windows only through the Platform and these few helpers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sys/Platform.h"

class TestMachine {
public:
    virtual ~TestMachine() = default;

    // The seam; GetModuleFileName answers the path of SetProgramPath.
    virtual sys::Platform platform() = 0;
    virtual bool IsSimulated() const = 0;

    // A fresh, empty folder for this test (a Windows path, no trailing
    // backslash), removed when the machine is destroyed.
    virtual std::string TempDir() = 0;
    // The Windows directory, where a bare profile file name points.
    virtual std::string WindowsDir() = 0;
    // Creates or replaces a file with exactly these bytes; files outside
    // TempDir are removed again when the machine is destroyed.
    virtual void WriteFile(const std::string& path, const std::string& bytes) = 0;
    // The bytes of a file, or "<missing>".
    virtual std::string ReadFile(const std::string& path) = 0;
    // Keeps a file open without any sharing until the machine is destroyed,
    // as the spooler holds a driver file it has loaded.
    virtual void HoldOpen(const std::string& path) = 0;
    virtual void SetProgramPath(const std::string& path) = 0;
    // A registry key under HKEY_CURRENT_USER that belongs to this test and is
    // deleted with everything below it when the machine is destroyed.
    virtual std::string ScratchKey() = 0;

    // The printers attached behind the maker's USB library, by identity.
    virtual void SetUsbPrinters(const std::vector<unsigned>& identities) = 0;
    virtual std::vector<unsigned> UsbPrinters() = 0;

    // Removes a registry key with everything below it (test set-up only).
    virtual void DeleteTree(sys::RegHandle root, const std::string& path) = 0;

    static std::unique_ptr<TestMachine> Create();
};
