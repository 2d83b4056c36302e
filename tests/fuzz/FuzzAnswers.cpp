// Fuzz target: instalix-setup's answers file.
//
// The input is the file (F:\answers.ini of a simulated machine).  It is read
// as the host build reads it, with its [Machine] section, and as the Windows
// build reads it, without; a file that reads is then checked against the
// sample package on a machine of the Windows version it names, the package
// being the medium in drive E: as the tests insert it.  Besides the
// sanitizers, the run stops when a refusal names no key, when an accepted
// file holds a value the wizard's pages could not produce, or when the
// check touches the machine.
#include <algorithm>
#include <map>
#include <memory>

#include "Answers.h"
#include "FuzzSupport.h"
#include "config/ConfigReader.h"
#include "install/PrinterLists.h"
#include "sys/sim/SimMachine.h"

namespace {

const char kFile[] = "F:\\answers.ini";

// One machine per Windows version, made once: FinishAnswers only reads, and
// the profile reader keeps the package's files parsed between runs.
sys::sim::SimMachine& MachineFor(const std::string& windows) {
    static std::map<std::string, std::unique_ptr<sys::sim::SimMachine>> machines;
    std::unique_ptr<sys::sim::SimMachine>& m = machines[windows];
    if (!m) {
        m = std::make_unique<sys::sim::SimMachine>();
        m->SetWindows(windows);
        m->InsertMedium(INSTALIX_PACKAGE_DIR);
    }
    return *m;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "[Instal]: unknown section; ..." (the name may hold "] ").
bool UnknownSection(const std::string& error) {
    return StartsWith(error, "[") && EndsWith(error, "]: unknown section; the sections are Install, Answers, Machine");
}

// A refusal because of a line of [Machine].
bool MachineError(const std::string& error) { return StartsWith(error, "[Machine] ") && !UnknownSection(error); }

// A refusal names the key ("[Install] Parity: ...") or, for a section of
// another name, the section.
bool NamesTheKey(const std::string& error) {
    return StartsWith(error, "[Install] ") || StartsWith(error, "[Answers] ") || MachineError(error) ||
           UnknownSection(error);
}

void CheckChoices(const Answers& a) {
    const InstallChoices& c = a.choices;
    FUZZ_CHECK(static_cast<int>(c.printerClass) >= 0 && static_cast<int>(c.printerClass) <= 3);
    FUZZ_CHECK(c.installMode == InstallMode::Advanced || c.installMode == InstallMode::Typical);
    if (a.targetGiven)
        FUZZ_CHECK(static_cast<int>(c.targetSystem) >= 0 && static_cast<int>(c.targetSystem) <= 4);
    FUZZ_CHECK(c.rasterBitmap == 0 || c.rasterBitmap == 1);
    FUZZ_CHECK(c.setAsDefault == 0 || c.setAsDefault == 1);
    FUZZ_CHECK(c.baudRate >= 0);
    FUZZ_CHECK(c.dataBits >= 5 && c.dataBits <= 8);
    FUZZ_CHECK(c.stopBits == 1.0 || c.stopBits == 1.5 || c.stopBits == 2.0);
    FUZZ_CHECK(std::string("EMNOS").find(c.parity) != std::string::npos && c.parity != '\0');
    FUZZ_CHECK(c.flowControl == 'x' || c.flowControl == 'p' || c.flowControl == ' ');
    FUZZ_CHECK(!a.package.empty());
    for (const auto& reply : a.replies) FUZZ_CHECK(reply.first >= 101 && reply.first <= 145);
    FUZZ_CHECK(a.usbPrinters.size() <= 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sys::sim::SimMachine reader;
    reader.fs.WriteFile(kFile, std::string(reinterpret_cast<const char*>(data), size));

    std::string error;
    const std::optional<Answers> host = ReadAnswers(reader.profile, kFile, true, &error);
    if (!host) FUZZ_CHECK(NamesTheKey(error));
    std::string windowsError;
    const std::optional<Answers> windows = ReadAnswers(reader.profile, kFile, false, &windowsError);
    // The Windows build reads the same file but for [Machine].
    if (host) FUZZ_CHECK(windows.has_value());
    if (!windows) {
        if (host || MachineError(windowsError))
            std::fprintf(stderr, "host: %s\nwindows: %s\n", error.c_str(), windowsError.c_str());
        // Refused for the same reason, unless the host build found a bad
        // [Machine] line first.
        FUZZ_CHECK(!host && (error == windowsError || MachineError(error)));
        FUZZ_CHECK(!MachineError(windowsError));
        return 0;
    }
    CheckChoices(*windows);
    if (!host) {
        FUZZ_CHECK(MachineError(error));
        return 0;
    }
    CheckChoices(*host);
    FUZZ_CHECK(host->choices.modelName == windows->choices.modelName);
    FUZZ_CHECK(host->choices.portName == windows->choices.portName);
    FUZZ_CHECK(host->package == windows->package && host->replies == windows->replies);
    FUZZ_CHECK(host->windows == "win98" || host->windows == "nt40" || host->windows == "win2k" ||
               host->windows == "winxp" || host->windows == "win2003");

    sys::sim::SimMachine& m = MachineFor(host->windows);
    const std::size_t writes = m.registry.writes.size();
    Answers answers = *host;
    error.clear();
    const bool ok = FinishAnswers(m.platform(), &answers, &error);
    if (!ok) {
        FUZZ_CHECK(StartsWith(error, "[Install] "));
    } else {
        FUZZ_CHECK(static_cast<int>(answers.choices.targetSystem) >= 0 &&
                   static_cast<int>(answers.choices.targetSystem) <= 4);
        if (!answers.choices.modelName.empty()) {
            // The model is one the printer page lists for its class, and the
            // port one the port page offers.
            ConfigReader config(m.platform());
            const PrinterLists lists = ReadPrinterLists(config);
            const std::vector<std::string>& models = lists.models[static_cast<int>(answers.choices.printerClass)];
            FUZZ_CHECK(std::find(models.begin(), models.end(), answers.choices.modelName) != models.end());
            FUZZ_CHECK(!answers.choices.portName.empty());
        }
    }
    // Nothing on the machine was touched.
    FUZZ_CHECK(m.registry.writes.size() == writes);
    FUZZ_CHECK(m.files.copies.empty() && m.messages.shown.empty() && m.usb.written.empty());
    return 0;
}
