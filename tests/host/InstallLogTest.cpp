// The installation log on the simulated machine: what a successful and a
// failed installation leave in %TEMP%\Instalix.log, runs appended one after
// another, and a log that cannot be written changing nothing else.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "install/Installation.h"
#include "sys/InstallLog.h"
#include "sys/LoggedPlatform.h"
#include "sys/sim/SimMachine.h"
#include "sys/sim/WinText.h"

namespace {

using Lines = std::vector<std::string>;

const char kLogPath[] = "C:\\WINDOWS\\TEMP\\Instalix.log";

std::string Gbk(const char* utf8) { return sys::sim::ToCodePage936(utf8, "UTF-8"); }

// A machine with the sample package as medium E: and the installation run
// through the logged platform, as the wizard and instalix-setup run it.
struct LoggedMachine {
    explicit LoggedMachine(const std::string& windows) {
        m.SetWindows(windows);
        m.InsertMedium(INSTALIX_PACKAGE_DIR);
        m.fs.WriteFile(m.fs.systemDir + "\\pjlmon.dll", "language monitor shipped with Windows");
        c.printerClass = PrinterClass::Receipt;
        c.targetSystem = windows == "win98"   ? TargetSystem::Win98Me
                         : windows == "nt40"  ? TargetSystem::WinNT
                         : windows == "win2k" ? TargetSystem::Win2000
                                              : TargetSystem::WinXP;
        c.modelName = "MTR-Q5";
        c.portName = "LPT1:";
        c.setAsDefault = 1;
        c.baudRate = 9600;
        c.installMode = InstallMode::Advanced;
    }
    InstallEnding Run(bool logged = true) {
        if (!logged) return RunInstallation(m.platform(), c, [this] { ++ended; });
        sys::FileLog log(m.files, m.system, "test-setup");
        log.Begin();
        sys::LoggedPlatform platform(m.platform(), log);
        return RunInstallation(platform.platform(), c, [this] { ++ended; });
    }
    std::string Text() {
        std::string bytes;
        return m.fs.ReadFile(kLogPath, &bytes) ? bytes : "<no log>";
    }
    // The log's lines without their CRLF; every line must have one, and
    // there is no other line break.
    Lines LogLines() {
        const std::string text = Text();
        Lines lines;
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t end = text.find("\r\n", at);
            if (end == std::string::npos) {
                ADD_FAILURE() << "a line without CRLF: " << text.substr(at);
                break;
            }
            lines.push_back(text.substr(at, end - at));
            EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
            at = end + 2;
        }
        return lines;
    }
    // The names of the steps, in order.
    Lines Steps() {
        Lines steps;
        for (const std::string& line : LogLines())
            if (line.compare(24, 5, "step ") == 0) steps.push_back(line.substr(29));
        return steps;
    }
    // The lines holding `part`, without their stamps.
    Lines With(const std::string& part) {
        Lines found;
        for (const std::string& line : LogLines())
            if (line.find(part) != std::string::npos) found.push_back(line.substr(24));
        return found;
    }

    sys::sim::SimMachine m;
    InstallChoices c;
    int ended = 0;
};

// Everything an installation leaves on the machine and shows, but the log.
std::string Effects(LoggedMachine& lm) {
    sys::sim::SimMachine& m = lm.m;
    std::ostringstream out;
    out << "ended " << lm.ended << ", printer name " << lm.c.modelName << "\n";
    for (const std::string& box : m.messages.Log()) out << "box " << box << "\n";
    for (const auto& [from, to] : m.files.copies) out << "copy " << from << " -> " << to << "\n";
    for (const std::string& w : m.registry.writes) out << "registry " << w << "\n";
    for (const auto& [name, dll] : m.spooler.monitors) out << "monitor " << name << " " << dll << "\n";
    for (const auto& [name, dll] : m.spooler.processors) out << "processor " << name << " " << dll << "\n";
    for (const sys::DriverInfo3& d : m.spooler.drivers) out << "driver " << d.pName << "\n";
    for (const auto& [key, p] : m.spooler.printers)
        out << "printer " << p.pPrinterName << " " << p.pPortName << " " << p.Attributes << "\n";
    out << "default " << m.spooler.DefaultPrinter() << "\n";
    for (std::uint32_t w : m.system.waits) out << "wait " << w << "\n";
    for (std::uint32_t f : m.system.exitWindowsCalls) out << "exit " << f << "\n";
    for (const std::string& n : m.system.notifications) out << "notify " << n << "\n";
    for (std::uint16_t id : m.usb.printers) out << "usb " << id << "\n";
    std::string winIni;
    m.fs.ReadFile(m.system.WinIniPath(), &winIni);
    out << "win.ini " << winIni << "\n";
    if (!m.services.services.empty())
        out << "spooler " << m.services.Spooler().stops << "/" << m.services.Spooler().starts << "\n";
    return out.str();
}

// ---- What a run leaves in the log --------------------------------------

TEST(InstallLog, ASuccessfulRunLogsItsStepsCallsAndMessage) {
    LoggedMachine lm("winxp");
    ASSERT_EQ(lm.Run(), InstallEnding::Finished) << lm.Text();
    const Lines lines = lm.LogLines();
    ASSERT_GE(lines.size(), 3u);
    const std::regex shape("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (====|step|call|box |note) .*");
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, shape)) << line;
    EXPECT_EQ(lines[0], "2024-05-06 09:30:00.000 ==== test-setup 1.0, Windows 5.1.2600 (NT)");
    EXPECT_EQ(lines[1].substr(24, 46), "note installing: class Receipt, model \"MTR-Q5\"");

    EXPECT_EQ(lm.Steps(), (Lines{"check model", "port kind", "read configuration", "port monitors", "print processor",
                                 "check driver files", "copy driver files", "stage universal driver",
                                 "language monitor", "add driver", "add printer", "default printer", "end wizard",
                                 "success message"}));
    const Lines added = lm.With("call AddPrinterA(");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].rfind("call AddPrinterA(level 2, printer \"MTR-Q5(P)\", port \"LPT1:\", driver \"KORVALE "
                             "MTR-Q5 Receipt\", processor ",
                             0),
              0u)
        << added[0];
    EXPECT_EQ(added[0].substr(added[0].size() - 7), ") -> ok");
    // Every copy the machine made is in the log, with its outcome.
    EXPECT_EQ(lm.With("call CopyFileA(").size(), lm.m.files.copies.size());
    for (const auto& [from, to] : lm.m.files.copies)
        EXPECT_EQ(lm.With("call CopyFileA(\"" + from + "\", \"" + to + "\", overwrite) -> ok").size(), 1u) << to;
    EXPECT_EQ(lm.With("call SetDefaultPrinterA(").size(), 1u);
    EXPECT_EQ(lm.With("box  message 131 [OK] -> OK: " + Gbk("打印机驱动安装成功")).size(), 1u) << lm.Text();
    EXPECT_EQ(lines.back().substr(24), "note installation finished, printer MTR-Q5(P)");
}

TEST(InstallLog, AFailedAddPrinterLogsTheErrorTheMessageAndTheEnding) {
    LoggedMachine lm("win2k");
    lm.m.faults.Fail("AddPrinterA", sys::kErrorAccessDenied);
    ASSERT_EQ(lm.Run(), InstallEnding::Closed);
    const Lines steps = lm.Steps();
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), "add printer");
    const Lines calls = lm.With("call AddPrinterA(");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].substr(calls[0].size() - 12), ") -> error 5");
    EXPECT_EQ(lm.With("box  message 116 [OK] -> OK: " + Gbk("添加打印机错误")).size(), 1u) << lm.Text();
    EXPECT_EQ(lm.LogLines().back().substr(24), "note installation closed");
}

TEST(InstallLog, AUsbRunLogsTheIdentityRewriteTheRecordsAndTheQuestion) {
    LoggedMachine lm("winxp");
    lm.c.portName = "USB_MTR-Q5_3";
    lm.m.usb.printers = {0};  // identity 0: port 1, so the question is asked
    ASSERT_EQ(lm.Run(), InstallEnding::Finished) << lm.Text();
    const Lines steps = lm.Steps();
    EXPECT_EQ(Lines(steps.begin() + 3, steps.begin() + 6), (Lines{"usb identity", "usb port names", "port monitors"}));
    EXPECT_EQ(lm.With("enumerate ports").size(), 1u);
    EXPECT_EQ(lm.With("usb port record").size(), 1u);
    // The question with its line breaks kept on one line, and its answer.
    const Lines question = lm.With("box  message 143 [Yes/No] -> Yes: ");
    ASSERT_EQ(question.size(), 1u);
    EXPECT_NE(question[0].find(Gbk("程序将改变当前USB设备的名称") + "\\n"), std::string::npos) << question[0];
    const Lines writes = lm.With("call uWrite(device ");
    ASSERT_FALSE(writes.empty());
    EXPECT_NE(writes[0].find(" bytes "), std::string::npos) << writes[0];
    EXPECT_EQ(lm.With("call RegSetValueExA(\"HKLM\\SOFTWARE\\KORVALE\\PRINTERPORT\\\", \"USB_MTR-Q5_3\", REG_DWORD "
                      "0) -> ok")
                  .size(),
              1u)
        << lm.Text();
    EXPECT_EQ(lm.With("box  message 133 [OK] -> OK: " + Gbk("打印机驱动安装成功") + "\\n").size(), 1u);
}

TEST(InstallLog, StampsFollowTheClockAcrossDaysAndTheRestartIsLogged) {
    LoggedMachine lm("win98");
    lm.m.system.startTime = sys::SystemTime{2024, 2, 29, 23, 59, 59, 500};
    lm.m.messages.answers = {sys::MsgAnswer::Yes};
    lm.m.faults.Fail("ExitWindowsEx", sys::kErrorAccessDenied);
    ASSERT_EQ(lm.Run(), InstallEnding::Finished) << lm.Text();
    const Lines wait = lm.With("step wait 98");
    ASSERT_EQ(wait.size(), 1u);
    Lines lines = lm.LogLines();
    std::size_t at = 0;
    while (at < lines.size() && lines[at].find("step wait 98") == std::string::npos) ++at;
    ASSERT_LT(at + 1, lines.size());
    EXPECT_EQ(lines[at].substr(0, 23), "2024-02-29 23:59:59.500");
    EXPECT_EQ(lines[at + 1], "2024-03-01 00:00:00.500 step port monitors");
    EXPECT_EQ(lines[0].substr(24), "==== test-setup 1.0, Windows 4.10.2222 (9x)");
    EXPECT_EQ(lm.Steps().back(), "restart");
    EXPECT_EQ(lm.With("call ExitWindowsEx(flags 0x2, reason 0x0) -> error 5").size(), 1u) << lm.Text();
    EXPECT_EQ(lm.With("box  message 127 [OK] -> OK: " + Gbk("重启系统错误")).size(), 1u);
    // Windows 98 makes the printer the default one by its attribute.
    EXPECT_EQ(lm.With("call SetPrinterA(printer \"MTR-Q5(P)\", level 2, port \"LPT1:\", attributes 0x4) -> ok").size(),
              1u)
        << lm.Text();
}

TEST(InstallLog, RunsAreAppendedEachUnderItsOwnHeader) {
    LoggedMachine lm("winxp");
    lm.m.fs.WriteFile(kLogPath, "an earlier line\r\n");
    lm.c.modelName = "";
    ASSERT_EQ(lm.Run(), InstallEnding::Stayed);
    lm.c.modelName = "MTR-Q5";
    ASSERT_EQ(lm.Run(), InstallEnding::Finished);
    const Lines lines = lm.LogLines();
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(lines[0], "an earlier line");
    EXPECT_EQ(lm.With("==== test-setup 1.0").size(), 2u);
    EXPECT_EQ(lines[1].substr(24, 4), "====");
    EXPECT_EQ(lines[3].substr(24), "step check model");
    EXPECT_EQ(lines[4].substr(24), "box  message 112 [OK] -> OK: " + Gbk("请先选择打印机"));
    EXPECT_EQ(lines[5].substr(24), "note installation stayed");
    EXPECT_EQ(lines[6].substr(24, 4), "====");
    EXPECT_EQ(lm.With("note installation finished").size(), 1u);
}

// ---- A log that cannot be written --------------------------------------

TEST(InstallLog, ALogThatCannotBeWrittenChangesNothingElse) {
    struct Case {
        const char* what;
        void (*spoil)(sys::sim::SimMachine& m);
    };
    const Case cases[] = {
        {"every write fails", [](sys::sim::SimMachine& m) { m.faults.Fail("WriteFile", sys::kErrorAccessDenied, -1); }},
        {"the temporary folder is unknown",
         [](sys::sim::SimMachine& m) { m.faults.Fail("GetTempPathA", sys::kErrorAccessDenied, -1); }},
        {"the temporary folder is missing", [](sys::sim::SimMachine& m) { m.fs.tempDir = "C:\\NO\\SUCH"; }},
        {"the log file is read-only",
         [](sys::sim::SimMachine& m) {
             m.fs.WriteFile(kLogPath, "old\r\n");
             m.fs.SetAttributes(kLogPath, sys::kFileAttributeReadOnly);
         }},
        {"the log file is held open", [](sys::sim::SimMachine& m) { m.fs.HoldOpen(kLogPath); }},
        {"the third write fails (disk full)",
         [](sys::sim::SimMachine& m) { m.faults.Fail("WriteFile", 112, 1, 2); }},
    };
    // Serial (settings, monitors) and USB (identity, records) on the NT family,
    // and a failing copy planned for the installation itself, which the log's
    // calls must not take away from it.
    for (const char* port : {"KRCOM2:", "USB_MTR-Q5_2"}) {
        for (const Case& k : cases) {
            LoggedMachine plain("win2k"), logged("win2k");
            for (LoggedMachine* lm : {&plain, &logged}) {
                lm->c.portName = port;
                lm->m.usb.printers = {5};
                lm->m.faults.Fail("CopyFileA", sys::kErrorSharingViolation, 1, 3);
            }
            k.spoil(logged.m);
            const InstallEnding a = plain.Run(false);
            const InstallEnding b = logged.Run();
            EXPECT_EQ(a, b) << port << ", " << k.what;
            EXPECT_EQ(Effects(plain), Effects(logged)) << port << ", " << k.what;
        }
    }
}

TEST(InstallLog, AWorkingLogChangesNothingButItsFile) {
    for (const char* windows : {"win98", "nt40", "winxp"}) {
        LoggedMachine plain(windows), logged(windows);
        for (LoggedMachine* lm : {&plain, &logged}) {
            lm->c.portName = "COM1:";
            lm->m.messages.answers = {sys::MsgAnswer::No};
        }
        EXPECT_EQ(plain.Run(false), logged.Run()) << windows;
        EXPECT_EQ(Effects(plain), Effects(logged)) << windows;
        EXPECT_EQ(plain.Text(), "<no log>");
        EXPECT_GT(logged.LogLines().size(), 10u) << windows;
    }
}

// ---- The decorators' report of the registry ----------------------------

TEST(LoggedPlatform, RegistryWritesNameTheKeyTheyWereOpenedUnder) {
    sys::sim::SimMachine m;
    sys::FileLog log(m.files, m.system, "test", "C:\\reg.log");
    sys::LoggedPlatform logged(m.platform(), log);
    sys::IRegistry& r = logged.platform().registry;
    sys::RegHandle key = 0, sub = 0;
    ASSERT_EQ(r.CreateKey(sys::kHKeyLocalMachine, "SOFTWARE\\Test", nullptr, &key), 0);
    ASSERT_EQ(r.CreateKey(key, "Sub", nullptr, &sub), 0);
    const std::uint32_t dword = 7;
    r.SetValue(sub, "Version", sys::kRegDword, &dword, 4);
    r.SetValue(key, nullptr, sys::kRegSz, "text\0", 5);
    r.SetValue(key, "List", sys::kRegMultiSz, "a\0bc\0\0", 6);
    r.CloseKey(sub);
    r.CloseKey(key);
    m.faults.Fail("RegDeleteKeyA", sys::kErrorAccessDenied);
    r.DeleteKey(sys::kHKeyLocalMachine, "SOFTWARE\\Test\\Sub");
    std::string text;
    ASSERT_TRUE(m.fs.ReadFile("C:\\reg.log", &text));
    Lines got;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        got.push_back(text.substr(at + 24, end - at - 24));
    EXPECT_EQ(got, (Lines{"==== test 1.0, Windows 5.1.2600 (NT)",
                          "call RegCreateKeyExA(\"HKLM\\SOFTWARE\\Test\") -> ok",
                          "call RegCreateKeyExA(\"HKLM\\SOFTWARE\\Test\\Sub\") -> ok",
                          "call RegSetValueExA(\"HKLM\\SOFTWARE\\Test\\Sub\", \"Version\", REG_DWORD 7) -> ok",
                          "call RegSetValueExA(\"HKLM\\SOFTWARE\\Test\", (default), REG_SZ \"text\") -> ok",
                          "call RegSetValueExA(\"HKLM\\SOFTWARE\\Test\", \"List\", REG_MULTI_SZ \"a\", \"bc\") -> ok",
                          "call RegDeleteKeyA(\"HKLM\\SOFTWARE\\Test\\Sub\") -> error 5"}));
}

}  // namespace
