// Start-up: the rich-text control comes from the system directory even when
// a library of the same name lies beside the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "UiHarness.h"

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
    // the file.
    SetEnvironmentVariableA("WINEDLLOVERRIDES", "riched20=n,b;mscoree,mshtml=;winedbg.exe=d");
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

TEST(PlantedLibrary, ARichEditBesideTheProgramIsNeverLoaded) {
    const std::string exe = ThisProgram();
    const std::string folder = TempFolder("planted");
    const std::string copy = folder + "\\ui_tests.exe";
    ASSERT_TRUE(CopyFileA(exe.c_str(), copy.c_str(), FALSE));
    // Any library will do as the planted one: the USB stand-in beside the tests.
    const std::string stand_in = FolderOf(exe) + "\\KrUsbInt.dll";
    ASSERT_TRUE(CopyFileA(stand_in.c_str(), (folder + "\\riched20.dll").c_str(), FALSE));
    // The trap works: a load by name takes the planted file.
    EXPECT_EQ(RunChild(copy, folder, "PlantedChild.LoadingByNameWouldTakeThePlantedFile"), 0u);
    // Start-up does not fall into it.
    EXPECT_EQ(RunChild(copy, folder, "PlantedChild.TheRichTextControlComesFromTheSystemDirectory"), 0u);
}
