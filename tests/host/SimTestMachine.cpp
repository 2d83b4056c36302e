// The shared suites on the host run against the simulated machine.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/TestMachine.h"
#include "sys/ProgramPathOverride.h"
#include "sys/sim/SimMachine.h"

namespace {

class SimTestMachine final : public TestMachine {
public:
    SimTestMachine() {
        const char* windows = std::getenv("INSTALIX_EXPECT_WINVER");
        m_sim.SetWindows(windows ? windows : "winxp");
    }
    sys::Platform platform() override { return m_sim.platform(); }
    bool IsSimulated() const override { return true; }
    std::string TempDir() override {
        std::string dir = "C:\\TEMP\\T" + std::to_string(++m_dirs);
        m_sim.fs.MakeDir(dir);
        return dir;
    }
    std::string ReadFile(const std::string& path) override {
        std::string bytes;
        return m_sim.fs.ReadFile(path, &bytes) ? bytes : "<missing>";
    }
    void HoldOpen(const std::string& path) override { m_sim.fs.HoldOpen(path); }
    void SetUsbPrinters(const std::vector<unsigned>& ids) override {
        m_sim.usb.printers.assign(ids.begin(), ids.end());
    }
    std::vector<unsigned> UsbPrinters() override {
        return std::vector<unsigned>(m_sim.usb.printers.begin(), m_sim.usb.printers.end());
    }
    void DeleteTree(sys::RegHandle root, const std::string& path) override { m_sim.registry.DeleteTree(root, path); }
    std::string WindowsDir() override { return m_sim.fs.windowsDir; }
    void WriteFile(const std::string& path, const std::string& bytes) override { m_sim.fs.WriteFile(path, bytes); }
    void SetProgramPath(const std::string& path) override { m_sim.files.programPath = path; }
    std::string ScratchKey() override { return "Software\\InstalixTest\\K" + std::to_string(++m_keys); }

private:
    sys::sim::SimMachine m_sim;
    int m_dirs = 0;
    int m_keys = 0;
};

}  // namespace

std::unique_ptr<TestMachine> TestMachine::Create() { return std::make_unique<SimTestMachine>(); }
