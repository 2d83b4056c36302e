// instalix-setup: installs a printer without clicking.  The install choices
// and the answers to the Yes/No questions come from an answers file; every
// message box is printed with the answer given.  Exits 0 when the printer
// was installed, 1 when the installation stopped with the wizard closed, 2
// when it stopped where the wizard would stay open, 3 on a bad or unreadable
// answers file, which is refused before anything is installed.
//
//   instalix-setup ANSWERS.INI [--log PATH]
//
// Built for Windows it installs on the running system and appends its log to
// PATH, or to %TEMP%\Instalix.log.  Built for the host it installs on a
// simulated machine set up from the file's [Machine] section, prints every
// change it made to it and appends the machine's log to the host file PATH
// when one is given.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "Answers.h"
#include "install/Installation.h"
#include "sys/InstallLog.h"
#include "sys/LoggedPlatform.h"
#include "sys/ProgramPathOverride.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "sys/Language.h"
#include "sys/win32/Resources.h"
#include "sys/win32/Win32Platform.h"
#else
#include <filesystem>
#include <fstream>

#include "sys/sim/SimMachine.h"
#endif

namespace {

int ExitCode(InstallEnding e) { return e == InstallEnding::Finished ? 0 : e == InstallEnding::Closed ? 1 : 2; }

constexpr int kBadAnswers = 3;

int BadAnswers(const std::string& why) {
    std::fprintf(stderr, "instalix-setup: %s\n", why.c_str());
    return kBadAnswers;
}

// ANSWERS.INI [--log PATH], the options before or after the file.
bool ReadArguments(int argc, char** argv, std::string* answers, std::string* logPath) {
    bool haveAnswers = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--log") == 0) {
            if (i + 1 >= argc || !*argv[i + 1]) return false;
            *logPath = argv[++i];
        } else if (!haveAnswers) {
            *answers = argv[i];
            haveAnswers = true;
        } else {
            return false;
        }
    }
    return haveAnswers;
}

// Why the answers file cannot be read, or nothing.  The profile API reads a
// missing file as one without keys; that must not pass for an answer.
std::string Unreadable(const char* path) {
    if (!*path) return "no answers file given";
    std::FILE* f = std::fopen(path, "rb");
    std::string why;
    if (f) {
        // A folder opens on some systems and fails at the first read; an
        // empty file reads nothing without an error.
        char first[2];
        errno = 0;
        if (!std::fgets(first, sizeof first, f) && errno != 0) why = std::strerror(errno);
        std::fclose(f);
    } else {
        why = std::strerror(errno);
    }
    return why.empty() ? why : std::string("cannot read the answers file \"") + path + "\": " + why;
}

#ifndef _WIN32
// The simulated machine as the answers file describes it, the package on E:.
void SetUp(sys::sim::SimMachine& m, const Answers& a) {
    m.SetWindows(a.windows);
    m.InsertMedium(a.package);
    m.usb.printers.assign(a.usbPrinters.begin(), a.usbPrinters.end());
    if (!m.services.services.empty()) m.services.Spooler().startDelayMs = a.spoolerStartDelayMs;
    if (a.languageMonitorInstalled) m.fs.WriteFile(m.fs.systemDir + "\\pjlmon.dll", "language monitor");
}

// The simulated machine's log appended to the host file `path`.
void CopyLogOut(sys::sim::SimMachine& m, sys::FileLog& log, const std::string& path) {
    std::string bytes;
    if (path.empty() || log.Path().empty() || !m.fs.ReadFile(log.Path(), &bytes)) return;
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
    if (!out) std::fprintf(stderr, "instalix-setup: cannot write the log \"%s\"\n", path.c_str());
}

void PrintChanges(sys::sim::SimMachine& m) {
    for (const auto& [from, to] : m.files.copies) std::printf("change: file %s -> %s\n", from.c_str(), to.c_str());
    for (const std::string& w : m.registry.writes) std::printf("change: registry %s\n", w.c_str());
    for (const auto& [name, dll] : m.spooler.monitors) std::printf("state: monitor %s (%s)\n", name.c_str(), dll.c_str());
    for (const auto& [name, dll] : m.spooler.processors) std::printf("state: processor %s (%s)\n", name.c_str(), dll.c_str());
    for (const sys::DriverInfo3& d : m.spooler.drivers) std::printf("state: driver %s (%s)\n", d.pName.c_str(), d.pDriverPath.c_str());
    for (const auto& [key, p] : m.spooler.printers)
        std::printf("state: printer %s on %s with %s\n", p.pPrinterName.c_str(), p.pPortName.c_str(), p.pDriverName.c_str());
    std::printf("state: default printer %s\n", m.spooler.DefaultPrinter().c_str());
    std::uint64_t waited = 0;
    for (std::uint32_t w : m.system.waits) waited += w;
    std::printf("state: waited %llu ms, restarts asked %zu\n", static_cast<unsigned long long>(waited),
                m.system.exitWindowsCalls.size());
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::string answersPath, logPath;
    if (!ReadArguments(argc, argv, &answersPath, &logPath)) {
        std::fprintf(stderr, "usage: instalix-setup ANSWERS.INI [--log PATH]\n");
        return kBadAnswers;
    }
    std::string error;
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    // The messages and the log in the wizard's language for this system.
    sys::win32::SetProgramLanguage(sys::LanguageForCodePage(GetACP()));
    sys::win32::Win32Platform real;
    sys::Platform base = real.platform();
    sys::FileLog log(base.files, base.system, "instalix-setup", logPath);
    log.Begin();
    log.Note("answers file \"" + answersPath + "\"");
    // A refused answers file is logged too: an unattended run's output may be lost.
    auto refuse = [&log](const std::string& why) {
        log.Note("refused: " + why);
        return BadAnswers(why);
    };
    const std::string unreadable = Unreadable(answersPath.c_str());
    if (!unreadable.empty()) return refuse(unreadable);
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(answersPath.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return refuse("cannot read the answers file \"" + answersPath + "\": path too long");
    // [Machine] describes the simulated machine: ignored here.
    std::optional<Answers> answers = ReadAnswers(base.profile, full, false, &error);
    if (!answers) return refuse(error);
    // The package is the medium: the configuration beside the program, the
    // driver folders under the current directory.
    SetCurrentDirectoryA(answers->package.c_str());
    sys::ProgramPathOverride files(base.files, answers->package + "\\setup.exe");
    ScriptedMessages messages(*answers, stdout, &real.messages());
    sys::Platform plain{base.registry, base.profile, files,     base.spooler,
                        base.services, base.system,  messages, base.usb};
#else
    namespace fs = std::filesystem;
    sys::sim::SimMachine machine;
    sys::FileLog log(machine.files, machine.system, "instalix-setup");
    // The simulated machine's log, on every ending, when a host file is named.
    struct LogOut {
        sys::sim::SimMachine& m;
        sys::FileLog& log;
        const std::string& path;
        ~LogOut() { CopyLogOut(m, log, path); }
    } logOut{machine, log, logPath};
    auto refuse = [&log](const std::string& why) {
        log.Note("refused: " + why);
        return BadAnswers(why);
    };
    const std::string unreadable = Unreadable(answersPath.c_str());
    if (!unreadable.empty()) return refuse(unreadable);
    std::error_code ec;
    const fs::path answersFile = fs::absolute(answersPath, ec);
    if (ec) return refuse("cannot read the answers file \"" + answersPath + "\": " + ec.message());
    machine.fs.Mount("F:\\", answersFile.parent_path().string());
    std::optional<Answers> answers =
        ReadAnswers(machine.profile, "F:\\" + answersFile.filename().string(), true, &error);
    if (!answers) return refuse(error);
    // A relative package folder is taken from the answers file's folder.
    fs::path package = answers->package;
    if (package.is_relative()) package = answersFile.parent_path() / package;
    answers->package = package.string();
    SetUp(machine, *answers);
    log.Begin();
    log.Note("answers file \"" + answersPath + "\"");
    ScriptedMessages messages(*answers, stdout, &machine.messages);
    sys::Platform base = machine.platform();
    sys::Platform plain{base.registry, base.profile, base.files, base.spooler,
                        base.services, base.system,  messages,   base.usb};
#endif
    sys::LoggedPlatform logged(plain, log);
    const sys::Platform platform = logged.platform();
    // Checked against the package and the port page before anything is
    // installed.
    if (!FinishAnswers(platform, &*answers, &error)) return refuse(error);
    InstallChoices choices = answers->choices;
    InstallEnding ending = RunInstallation(platform, choices, [] { std::printf("wizard ended\n"); });
    std::printf("result: %s, printer %s\n", EndingName(ending), choices.modelName.c_str());
#ifndef _WIN32
    PrintChanges(machine);
#endif
    return ExitCode(ending);
}
