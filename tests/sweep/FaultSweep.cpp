// The fault sweep: a whole installation on the simulated machine, once for
// every call it makes to the system, with that one call failing with each
// error Windows can give it.  Every run must end as the installation's
// failure table says, leave the spooler running, release its handles, and
// touch nothing outside the folders and keys an installation owns.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "install/Installation.h"
#include "sys/sim/SimMachine.h"
#include "sys/sim/WinText.h"

namespace {

using Messages = std::vector<std::string>;

// The errors each call can fail with on Windows.  Calls that report no code
// (a profile read gives its default, the USB library its failure) are
// failed once, with a placeholder.
const std::map<std::string, std::vector<std::uint32_t>> kErrors = {
    {"GetModuleFileNameA", {122}},
    {"GetCurrentDirectoryA", {5}},
    {"GetSystemDirectoryA", {5}},
    {"GetWindowsDirectoryA", {5}},
    {"CopyFileA", {2, 3, 5, 32, 112}},
    {"SetFileAttributesA", {2, 5}},
    {"GetFileAttributesA", {2, 5}},
    {"CreateFileA", {2, 5, 32}},
    {"GetPrivateProfileStringA", {1}},
    {"RegOpenKeyExA", {2, 5}},
    {"RegCreateKeyExA", {5}},
    // RegCloseKey fails only for a handle that is none; "already installed"
    // comes only for a monitor that is, which the machine itself answers.
    {"RegCloseKey", {}},
    {"RegQueryValueExA", {2, 5}},
    {"RegSetValueExA", {5}},
    {"RegEnumValueA", {259}},
    {"AddPrinterA", {5, 1796, 1797, 1802}},
    {"ClosePrinter", {6}},
    {"AddPrinterDriverA", {2, 5}},
    {"AddMonitorA", {5, 126}},
    {"AddPrintProcessorA", {5, 87, 3005}},
    {"EnumPortsA", {5, 8}},
    {"GetPrinterDriverDirectoryA", {5}},
    {"GetPrintProcessorDirectoryA", {5}},
    {"OpenPrinterA", {1801}},
    {"GetPrinterA", {5}},
    {"SetPrinterA", {5}},
    {"LoadLibraryA", {126}},
    {"SetDefaultPrinterA", {1801}},
    {"GetVersionExA", {87}},
    {"ExitWindowsEx", {1314}},
    {"WriteProfileStringA", {5}},
    {"OpenSCManagerA", {5}},
    {"OpenServiceA", {5, 1060}},
    {"ControlService", {5, 1051, 1062}},
    {"StartServiceA", {5, 1056, 1058}},
    {"QueryServiceStatus", {5}},
    {"GetDescriptor", {1}},
    {"uWrite", {1}},
};

// Notes the step the installation is in, so that each call can be told by
// the step that made it.
class StepLog final : public sys::ILog {
public:
    void Step(const char* name) override { step = name; }
    void Call(const char*, const std::string&, bool, std::uint32_t) override {}
    void Message(int, const std::string&, sys::MsgButtons, sys::MsgAnswer) override {}
    void Note(const std::string&) override {}
    std::string step = "start";
};

struct Scenario {
    const char* windows;
    const char* port;
    bool outdated;  // an older installation's monitors and processor are there
};

std::string Name(const Scenario& s) {
    std::string port;
    for (char c : std::string(s.port))
        if (std::isalnum(static_cast<unsigned char>(c))) port += c;
    return std::string(s.windows) + "_" + port + (s.outdated ? "_update" : "_fresh");
}

TargetSystem Target(const std::string& windows) {
    if (windows == "win98") return TargetSystem::Win98Me;
    if (windows == "nt40") return TargetSystem::WinNT;
    if (windows == "win2k") return TargetSystem::Win2000;
    if (windows == "win2003") return TargetSystem::WinServer2003;
    return TargetSystem::WinXP;
}

struct Call {
    std::string op;
    std::string step;
    int occurrence;  // how many calls of this operation the step made before it, from 1
};

struct Outcome {
    InstallEnding ending = InstallEnding::Stayed;
    Messages messages;
    std::vector<std::string> violations;
};

// A hang: far more calls or virtual time than any installation needs.
struct Hang : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr std::size_t kMostCalls = 50000;
constexpr std::uint64_t kMostMilliseconds = 10 * 60 * 1000;

// The folders and keys an installation may write into.
bool MayWrite(const sys::sim::SimMachine& m, const std::string& foldedPath) {
    using sys::sim::FoldCase;
    for (const std::string& dir : {m.spooler.driverDirectory, m.spooler.processorDirectory, m.fs.systemDir}) {
        const std::string prefix = FoldCase(dir) + "\\";
        if (foldedPath.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return foldedPath == FoldCase(m.system.WinIniPath());
}

bool MayWriteKey(const std::string& foldedEntry) {
    const std::string key = foldedEntry.substr(0, foldedEntry.find('|'));
    for (const char* prefix : {"HKEY_LOCAL_MACHINE\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\KORVALE\\",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PORTS\\",
                               "HKEY_LOCAL_MACHINE\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\CLASS\\PORTS\\",
                               "HKEY_CURRENT_USER\\SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\WINDOWS\\"}) {
        const std::string p = prefix;
        // The key itself, a key below it, or one of the keys on the way to it.
        if ((key + "\\").compare(0, p.size(), p) == 0) return true;
        if (foldedEntry.find('|') == std::string::npos && p.compare(0, key.size() + 1, key + "\\") == 0) return true;
    }
    return false;
}

class Sweep {
public:
    explicit Sweep(const Scenario& s) : m_s(s) {}

    // One installation; `failAt` numbers the call of the installation (not
    // of the set-up) that fails with `error`.
    Outcome Run(std::vector<Call>* calls, std::optional<std::size_t> failAt = std::nullopt, std::uint32_t error = 0) {
        sys::sim::SimMachine m;
        SetUp(m);
        const auto filesBefore = m.fs.Snapshot();
        const auto registryBefore = m.registry.Snapshot();

        StepLog log;
        sys::Platform p{m.registry, m.profile, m.files, m.spooler, m.services, m.system, m.messages, m.usb, log};
        const std::size_t base = m.faults.CallCount();
        std::map<std::string, int> seen;
        std::string seenStep;
        m.faults.onCall = [&](std::size_t index, const std::string& op) {
            if (index - base > kMostCalls || m.system.now > kMostMilliseconds) throw Hang("no end after " + op);
            if (!calls) return;
            if (log.step != seenStep) seen.clear(), seenStep = log.step;
            calls->push_back(Call{op, log.step, ++seen[op]});
        };
        if (failAt) m.faults.FailCall(base + *failAt, error);

        InstallChoices c;
        c.printerClass = PrinterClass::Receipt;
        c.targetSystem = Target(m_s.windows);
        c.modelName = "MTR-Q5";
        c.portName = m_s.port;
        c.setAsDefault = 1;
        c.baudRate = 115200;
        c.dataBits = 8;
        c.stopBits = 1;
        c.parity = 'N';
        c.flowControl = 'p';
        c.installMode = InstallMode::Typical;
        // Yes to every question: the restart happens, a renamed device too.
        m.messages.answers.assign(8, sys::MsgAnswer::Yes);

        Outcome out;
        try {
            out.ending = RunInstallation(p, c, [] {});
        } catch (const Hang& h) {
            out.violations.push_back(std::string("hang: ") + h.what());
        }
        m.faults.onCall = nullptr;
        out.messages = m.messages.Log();

        // The spooler of the NT family runs again once a start has had time.
        if (m.system.version.platformId == 2) {
            m.system.Sleep(5000);
            std::uint32_t state = 0, ignored = 0;
            sys::ServiceHandle manager = m.services.OpenManager(sys::kScManagerAllAccess, &ignored);
            sys::ServiceHandle service = m.services.OpenServiceA(manager, "Spooler", sys::kServiceQueryStatus, &ignored);
            m.services.QueryState(service, &state, &ignored);
            m.services.Close(service);
            m.services.Close(manager);
            if (state != sys::kServiceRunning) out.violations.push_back("the spooler is not running");
        }
        if (m.registry.OpenHandleCount()) out.violations.push_back("registry handles left open");
        if (m.services.OpenHandleCount()) out.violations.push_back("service handles left open");

        const auto filesAfter = m.fs.Snapshot();
        for (const auto& [path, bytes] : filesBefore) {
            auto now = filesAfter.find(path);
            if (now == filesAfter.end()) out.violations.push_back("deleted " + path);
            else if (now->second != bytes && !MayWrite(m, path)) out.violations.push_back("overwrote " + path);
        }
        for (const auto& [path, bytes] : filesAfter)
            if (!filesBefore.count(path) && !MayWrite(m, path)) out.violations.push_back("wrote " + path);
        const auto registryAfter = m.registry.Snapshot();
        for (const auto& [entry, data] : registryBefore) {
            auto now = registryAfter.find(entry);
            if (now == registryAfter.end()) out.violations.push_back("deleted " + entry);
            else if (now->second != data && !MayWriteKey(entry)) out.violations.push_back("changed " + entry);
        }
        for (const auto& [entry, data] : registryAfter)
            if (!registryBefore.count(entry) && !MayWriteKey(entry)) out.violations.push_back("created " + entry);
        return out;
    }

private:
    void SetUp(sys::sim::SimMachine& m) {
        m.SetWindows(m_s.windows);
        m.InsertMedium(INSTALIX_PACKAGE_DIR);
        m.fs.WriteFile(m.fs.systemDir + "\\pjlmon.dll", "language monitor shipped with Windows");
        // Files of the machine's own that no installation may touch.
        m.fs.WriteFile("C:\\Documents\\letter.txt", "the user's own");
        m.fs.WriteFile(m.fs.windowsDir + "\\explorer.exe", "the shell");
        m.registry.WriteValue("HKLM\\SOFTWARE\\Other\\App", "Setting", sys::kRegSz, std::string("kept\0", 5));
        if (std::string(m_s.port).find("USB_") == 0) m.usb.printers = {0};
        if (!m_s.outdated) return;
        // An earlier installation, whose monitors and processor are now older
        // than the package's.
        InstallChoices c;
        c.printerClass = PrinterClass::Receipt;
        c.targetSystem = Target(m_s.windows);
        c.modelName = "MTR-Q5";
        c.portName = m_s.port;
        c.installMode = InstallMode::Typical;
        m.messages.answers = {sys::MsgAnswer::No};
        RunInstallation(m.platform(), c, [] {});
        m.messages.shown.clear();
        m.spooler.printers.clear();
        const std::uint32_t old = 1;
        const std::string one(reinterpret_cast<const char*>(&old), 4);
        const std::string print = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\";
        for (const char* monitor : {"KORVALE Serial Port Monitor", "KORVALE USB Port Monitor"})
            if (m.registry.KeyExists(print + "Monitors\\" + monitor))
                m.registry.WriteValue(print + "Monitors\\" + monitor, "DriverVersion", sys::kRegDword, one);
        const std::string processors = m.system.version.platformId == 1
                                           ? print + "Environments\\Windows 4.0\\Print Processors\\KRPrint"
                                           : print + "Environments\\Windows NT x86\\Print Processors\\KRPrint";
        m.registry.WriteValue(processors, "DriverVersion", sys::kRegDword, one);
    }

    Scenario m_s;
};

}  // namespace

// What the failure table gives for one failed call, and the check of it.
namespace {

bool Starts(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

struct Expectation {
    InstallEnding ending;
    // The last message shown; empty when any (a belief changed, with the
    // ending the table gives for what follows).
    std::string last;
    // A message that must be among those shown.
    std::string shown;
    bool anyEnding = false;
};

// The failure table of the installation, by the step that made the call.
Expectation Expect(const Scenario& s, const Call& call, std::uint32_t error, const Messages& baseline) {
    const std::string& op = call.op;
    const std::string& step = call.step;
    const std::string done = baseline.empty() ? std::string() : baseline.back();
    const bool usb = std::string(s.port).find("USB_") == 0;
    const bool parallel = std::string(s.port).find("LPT") != std::string::npos;
    const Expectation finished{InstallEnding::Finished, done, ""};
    const std::string code = std::to_string(error);

    // Reads: what the installer then believes is taken further by the
    // sequence, which must still end in one of the table's endings.
    if (op == "GetPrivateProfileStringA" || op == "RegQueryValueExA" || op == "RegOpenKeyExA" ||
        op == "GetFileAttributesA" || op == "CreateFileA" || op == "GetModuleFileNameA" || op == "GetDescriptor" ||
        op == "LoadLibraryA" || op == "GetVersionExA" || op == "RegEnumValueA")
        return Expectation{InstallEnding::Finished, "", "", true};

    if (step == "port monitors" && op == "AddMonitorA")
        return error == 3006 ? finished : Expectation{InstallEnding::Closed, "119", "T:" + code};
    if (step == "print processor" && op == "AddPrintProcessorA") return Expectation{InstallEnding::Closed, "123", ""};
    if (step == "replace on nt") {
        if (op == "GetPrintProcessorDirectoryA") return Expectation{InstallEnding::Closed, "109", ""};
        // The processor is replaced only when no monitor is (a parallel port).
        if (op == "GetCurrentDirectoryA" && parallel) return Expectation{InstallEnding::Closed, "107", ""};
        if (op == "CopyFileA" && parallel) return Expectation{InstallEnding::Closed, "122", ""};
        // Stop, start, start again, then the wait for the spooler: the
        // fourth manager or service open is the wait's.
        if ((op == "OpenSCManagerA" || op == "OpenServiceA") && call.occurrence == 4)
            return Expectation{InstallEnding::Closed, "T:StartSpoolService error", ""};
        if (op == "ControlService" && error != 1062)
            return Expectation{InstallEnding::Finished, done, "T:Stop spool service error, error code = " + code};
        if (op == "StartServiceA" && error != 1056)
            return Expectation{InstallEnding::Finished, done, "T:Start spool service error, error code = " + code};
    }
    if (step == "enumerate ports" && op == "EnumPortsA" && call.occurrence == 2)
        return Expectation{InstallEnding::Closed, error == 8 ? "104" : "125", ""};
    // The first call only learns the size: without it the second fails too.
    if (step == "enumerate ports" && op == "EnumPortsA")
        return Expectation{InstallEnding::Closed, error == 8 ? "104" : "125", ""};
    // A monitor DLL in use or refused is installed under its new name.
    if (step == "port monitors" && op == "CopyFileA" && call.occurrence == 1 && (error == 5 || error == 32))
        return finished;
    // Windows 98: UNIDRV.DLL restored from the system's backup, or else
    // copied from the medium.
    if (step == "stage universal driver" && op == "CopyFileA" && call.occurrence == 2 &&
        std::string(s.windows) == "win98")
        return finished;
    if (op == "CopyFileA" && step != "replace on 98")
        // Reported by the copy, and the sequence goes on.
        return Expectation{InstallEnding::Finished, "", "122", true};
    if (op == "GetCurrentDirectoryA") return Expectation{InstallEnding::Finished, "", "107", true};
    if (op == "GetPrinterDriverDirectoryA") return Expectation{InstallEnding::Finished, "", "108", true};
    if (op == "GetSystemDirectoryA") return Expectation{InstallEnding::Finished, "", "102", true};
    if (op == "GetWindowsDirectoryA") return Expectation{InstallEnding::Finished, "", "126", true};
    if (step == "language monitor" && op == "AddMonitorA" && error != 3006)
        return Expectation{InstallEnding::Finished, done, "119"};
    if (step == "add driver" && op == "AddPrinterDriverA")
        return Expectation{InstallEnding::Finished, "", "118", true};
    if (step == "add printer" && op == "AddPrinterA") {
        if (error == 1802) return usb ? Expectation{InstallEnding::Closed, "103", ""} : finished;
        return Expectation{InstallEnding::Closed, "116:er = " + code, ""};
    }
    if (step == "restart" && op == "ExitWindowsEx") return Expectation{InstallEnding::Finished, "127", ""};
    // Everything else is a failure the sequence goes on after: the default
    // printer, the serial settings, the registry values, the spooler's
    // answers, the attribute reset before a copy.
    return finished;
}

bool Matches(const Expectation& e, const Outcome& o) {
    if (!e.anyEnding && o.ending != e.ending) return false;
    if (!e.last.empty() && (o.messages.empty() || o.messages.back() != e.last)) return false;
    if (!e.shown.empty()) {
        bool found = false;
        for (const std::string& m : o.messages) found = found || Starts(m, e.shown);
        if (!found) return false;
    }
    return true;
}

std::string Describe(const Outcome& o) {
    const char* endings[] = {"stayed", "closed", "finished"};
    std::string text = endings[static_cast<int>(o.ending)];
    for (const std::string& m : o.messages) text += " [" + m + "]";
    return text;
}

std::size_t g_injected = 0, g_matched = 0;

class FaultSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultSweep, EveryFailedCallEndsAsTheFailureTableSays) {
    const Scenario& s = GetParam();
    Sweep sweep(s);
    std::vector<Call> calls;
    const Outcome baseline = sweep.Run(&calls);
    ASSERT_EQ(baseline.ending, InstallEnding::Finished) << Describe(baseline);
    ASSERT_TRUE(baseline.violations.empty()) << baseline.violations[0];
    ASSERT_FALSE(calls.empty());

    std::vector<std::string> failures;
    std::size_t injected = 0, matched = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        auto errors = kErrors.find(calls[i].op);
        ASSERT_NE(errors, kErrors.end()) << "no errors listed for " << calls[i].op;
        for (std::uint32_t error : errors->second) {
            ++injected;
            const Outcome o = sweep.Run(nullptr, i, error);
            const Expectation e = Expect(s, calls[i], error, baseline.messages);
            const bool ok = Matches(e, o) && o.violations.empty();
            if (ok) ++matched;
            else if (failures.size() < 25)
                failures.push_back("call " + std::to_string(i) + " " + calls[i].op + " #" +
                                   std::to_string(calls[i].occurrence) + " in \"" + calls[i].step + "\" failing with " +
                                   std::to_string(error) + ": " + Describe(o) +
                                   (o.violations.empty() ? "" : " -- " + o.violations[0]));
        }
    }
    g_injected += injected;
    g_matched += matched;
    std::printf("%s: %zu calls, %zu faults injected, %zu endings matched\n", Name(s).c_str(), calls.size(), injected,
                matched);
    for (const std::string& f : failures) ADD_FAILURE() << f;
}

INSTANTIATE_TEST_SUITE_P(
    Installations, FaultSweep,
    ::testing::Values(Scenario{"win98", "COM1:", false}, Scenario{"win98", "LPT1:", false},
                      Scenario{"win98", "USB_MTR-Q5_1", false}, Scenario{"win98", "USB_MTR-Q5_1", true},
                      Scenario{"win98", "LPT1:", true}, Scenario{"nt40", "KRCOM1:", false},
                      Scenario{"nt40", "LPT2:", false}, Scenario{"nt40", "KRCOM1:", true},
                      Scenario{"nt40", "LPT1:", true}, Scenario{"win2k", "KRCOM2:", false},
                      Scenario{"win2k", "USB_MTR-Q5_1", false}, Scenario{"win2k", "USB_MTR-Q5_1", true},
                      Scenario{"winxp", "LPT1:", false}, Scenario{"winxp", "USB_MTR-Q5_1", false},
                      Scenario{"winxp", "KRCOM1:", true}, Scenario{"winxp", "LPT1:", true},
                      Scenario{"win2003", "KRCOM8:", false}, Scenario{"win2003", "USB_MTR-Q5_1", false},
                      Scenario{"win2003", "LPT1:", true}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return Name(info.param); });

class Totals : public ::testing::Environment {
public:
    void TearDown() override {
        std::printf("fault sweep: %zu faults injected, %zu endings matched\n", g_injected, g_matched);
    }
};

const auto* const kTotals = ::testing::AddGlobalTestEnvironment(new Totals);

}  // namespace
