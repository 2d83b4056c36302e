// wizard-driver: clicks through a dialog program by a script.
//
//   wizard-driver [--shots DIR] SCRIPT|-
//
// Reads the script (UTF-8; "-" for standard input), checks every line, then
// runs the steps in order, printing one line per step.  Ends at the first
// step that fails, with the program killed.  Exit code 0 when every step
// passed, 1 when one failed, 2 for a bad command line or script.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "Script.h"

namespace {

bool ReadAll(HANDLE file, std::string& text) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return true;
}

int Usage() {
    driver::PrintLine("usage: wizard-driver [--shots DIR] SCRIPT|-");
    return 2;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return Usage();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(driver::Utf8(argv[i]));
    LocalFree(argv);

    std::string shots, scriptPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--shots" && i + 1 < args.size()) shots = args[++i];
        else if (scriptPath.empty()) scriptPath = args[i];
        else return Usage();
    }
    if (scriptPath.empty()) return Usage();

    std::string text;
    if (scriptPath == "-") {
        ReadAll(GetStdHandle(STD_INPUT_HANDLE), text);
    } else {
        const std::wstring path = driver::Wide(driver::WindowsPath(scriptPath));
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            driver::PrintLine("wizard-driver: cannot read " + scriptPath);
            return 2;
        }
        ReadAll(file, text);
        CloseHandle(file);
    }

    std::vector<driver::Step> steps;
    std::string error;
    if (!driver::ParseScript(text, steps, error)) {
        driver::PrintLine("wizard-driver: " + scriptPath + ": " + error);
        return 2;
    }

    driver::Driver d;
    if (!shots.empty()) d.SetShotDir(driver::Wide(driver::WindowsPath(shots)), L"");
    for (const driver::Step& step : steps) {
        if (!d.Run(step)) {
            d.Abandon(step);
            driver::PrintLine("wizard-driver: failed at line " + std::to_string(step.line));
            return 1;
        }
    }
    return d.Finish() ? 0 : 1;
}
