// Start-up: the rich-text control, the spooler, the common controls, OLE and
// the shell come from the system even when libraries of their names lie
// beside the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "UiHarness.h"
#include "sys/win32/SystemLibrary.h"

using namespace ui;

namespace {

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

bool InFolder(const std::string& file, const std::string& folder) {
    return _strnicmp(file.c_str(), folder.c_str(), folder.size()) == 0;
}

// Runs this test program from `folder` (as its own folder and current
// directory) with one test; its exit code.
DWORD RunChild(const std::string& exe, const std::string& folder, const char* test) {
    std::string cmd = "\"" + exe + "\" --gtest_filter=" + test;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    SetEnvironmentVariableA("INSTALIX_PLANTED_CHILD", folder.c_str());
    // Windows' search order looks beside the program first; Wine prefers its
    // own libraries unless told otherwise, so the child is told to prefer
    // the files.
    SetEnvironmentVariableA("WINEDLLOVERRIDES",
                            "riched20,winspool.drv,comctl32,ole32,shell32=n,b;mscoree,mshtml=;winedbg.exe=d");
    BOOL ok = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi);
    SetEnvironmentVariableA("INSTALIX_PLANTED_CHILD", nullptr);
    if (!ok) return 0xFFFFFFFFu;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFEu;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

const char* PlantedFolder() { return std::getenv("INSTALIX_PLANTED_CHILD"); }

// The libraries the programs load at run time instead of importing them.
const char* const kPlanted[] = {"riched20.dll", "winspool.drv", "comctl32.dll", "ole32.dll", "shell32.dll"};

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

}  // namespace

// Children: run only from the test below, in the folder with the planted file.
TEST(PlantedChild, LoadingByNameWouldTakeThePlantedFile) {
    if (!PlantedFolder()) GTEST_SKIP() << "run by PlantedLibrary";
    HMODULE byName = LoadLibraryA("riched20.dll");
    ASSERT_TRUE(byName);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(byName, path, MAX_PATH);
    EXPECT_TRUE(InFolder(path, PlantedFolder())) << path;
}

TEST(PlantedChild, TheRichTextControlComesFromTheSystemDirectory) {
    if (!PlantedFolder()) GTEST_SKIP() << "run by PlantedLibrary";
    InitControlHosting();
    RecordedMessages messages;
    ASSERT_TRUE(RegisterRichTextControl(messages));
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_TRUE(InFolder(RichTextLibraryPath(), system)) << RichTextLibraryPath();
    const std::string planted = std::string(PlantedFolder()) + "\\riched20.dll";
    EXPECT_EQ(GetModuleHandleA(planted.c_str()), nullptr);
    EXPECT_TRUE(messages.ids.empty());
}

TEST(PlantedChild, LoadingTheSpoolerByNameWouldTakeThePlantedFile) {
    if (!PlantedFolder()) GTEST_SKIP() << "run by PlantedLibrary";
    HMODULE byName = LoadLibraryA("winspool.drv");
    ASSERT_TRUE(byName);
    EXPECT_TRUE(InFolder(ModulePath(byName), PlantedFolder())) << ModulePath(byName);
}

TEST(PlantedChild, TheSystemLibrariesComeFromTheSystem) {
    if (!PlantedFolder()) GTEST_SKIP() << "run by PlantedLibrary";
    // Everything start-up and Finish reach: the controls, OLE and RichEdit,
    // a spooler call, and the shell (opening a file that is not there).
    InitControlHosting();
    RecordedMessages messages;
    ASSERT_TRUE(RegisterRichTextControl(messages));
    sys::win32::Win32Spooler spooler;
    std::string directory;
    std::uint32_t error = 0;
    EXPECT_TRUE(spooler.PrinterDriverDirectory(&directory, &error)) << error;
    EXPECT_FALSE(directory.empty());
    EXPECT_LE(reinterpret_cast<INT_PTR>(sys::win32::ShellOpen("no-such-manual.chm", SW_SHOW)), 32);
    for (const char* name : kPlanted) {
        const std::string planted = std::string(PlantedFolder()) + "\\" + name;
        EXPECT_EQ(GetModuleHandleA(planted.c_str()), nullptr) << planted << " was loaded";
        HMODULE loaded = GetModuleHandleA(name);
        ASSERT_TRUE(loaded) << name << " was not loaded at all";
        EXPECT_FALSE(InFolder(ModulePath(loaded), PlantedFolder())) << ModulePath(loaded);
    }
    EXPECT_TRUE(messages.ids.empty());
}

TEST(PlantedLibrary, SystemLibrariesBesideTheProgramAreNeverLoaded) {
    const std::string exe = ThisProgram();
    const std::string folder = TempFolder("planted");
    const std::string copy = folder + "\\ui_tests.exe";
    ASSERT_TRUE(CopyFileA(exe.c_str(), copy.c_str(), FALSE));
    // Any library will do as the planted one: the USB stand-in beside the tests.
    // The program does not import any of them: it still starts with
    // libraries beside it that export nothing it would need.
    const std::string stand_in = FolderOf(exe) + "\\KrUsbInt.dll";
    for (const char* name : kPlanted) {
        ASSERT_TRUE(CopyFileA(stand_in.c_str(), (folder + "\\" + name).c_str(), FALSE)) << name;
    }
    // The trap works: a load by name takes the planted file.
    EXPECT_EQ(RunChild(copy, folder, "PlantedChild.LoadingByNameWouldTakeThePlantedFile"), 0u);
    EXPECT_EQ(RunChild(copy, folder, "PlantedChild.LoadingTheSpoolerByNameWouldTakeThePlantedFile"), 0u);
    // Start-up and the installation do not fall into it.
    EXPECT_EQ(RunChild(copy, folder, "PlantedChild.TheRichTextControlComesFromTheSystemDirectory"), 0u);
    EXPECT_EQ(RunChild(copy, folder, "PlantedChild.TheSystemLibrariesComeFromTheSystem"), 0u);
}
