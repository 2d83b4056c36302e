// The shared suites in the win32 build run against the real system.
#define _WIN32_WINNT 0x0600  // RegDeleteTreeA, for cleaning up
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/TestMachine.h"
#include "sys/ProgramPathOverride.h"
#include "sys/win32/Win32Platform.h"

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

void MakeDirs(const std::string& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

class Win32TestMachine final : public TestMachine {
public:
    Win32TestMachine() : m_files(m_realFiles, "") {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        m_root = std::string(tmp) + "instalix-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++s_count);
        MakeDirs(m_root);
        m_keyRoot = "Software\\InstalixTest\\P" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(s_count);
        SetProgramPath(m_root + "\\instalix.exe");
    }
    ~Win32TestMachine() override {
        SetEnvironmentVariableA("KRUSBINT_STATE", nullptr);
        for (HANDLE h : m_held) CloseHandle(h);
        for (const std::string& f : m_written) DeleteFileA(f.c_str());
        RemoveTree(m_root);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_keyRoot.c_str());
    }

    sys::Platform platform() override { return m_real.platform().WithFiles(m_files); }
    bool IsSimulated() const override { return false; }
    std::string TempDir() override {
        std::string dir = m_root + "\\T" + std::to_string(++m_dirs);
        MakeDirs(dir);
        return dir;
    }
    std::string WindowsDir() override {
        char dir[MAX_PATH];
        GetWindowsDirectoryA(dir, MAX_PATH);
        return dir;
    }
    void WriteFile(const std::string& path, const std::string& bytes) override {
        m_written.push_back(path);
        MakeDirs(path.substr(0, path.rfind('\\')));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile_(h, bytes, &written);
        CloseHandle(h);
    }
    std::string ReadFile(const std::string& path) override {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes;
        char buf[4096];
        DWORD got = 0;
        while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
        CloseHandle(h);
        return bytes;
    }
    void HoldOpen(const std::string& path) override {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
        m_held.push_back(h);
    }
    void SetProgramPath(const std::string& path) override {
        m_files.SetPath(path);
    }
    // The simulated KrUsbInt.dll beside the test program reads its printers
    // from the state file that KRUSBINT_STATE names.
    void SetUsbPrinters(const std::vector<unsigned>& ids) override {
        std::string text = "; test printers\n";
        for (unsigned id : ids) text += "printer=" + std::to_string(id) + "\n";
        const std::string path = m_root + "\\usb.state";
        WriteFile(path, text);
        SetEnvironmentVariableA("KRUSBINT_STATE", path.c_str());
    }
    std::vector<unsigned> UsbPrinters() override {
        std::vector<unsigned> ids;
        const std::string text = "\n" + ReadFile(m_root + "\\usb.state");
        for (std::size_t pos = text.find("\nprinter="); pos != std::string::npos; pos = text.find("\nprinter=", pos + 1))
            ids.push_back(static_cast<unsigned>(std::stoul(text.substr(pos + 9))));
        return ids;
    }
    void DeleteTree(sys::RegHandle root, const std::string& path) override {
        RegDeleteTreeA(reinterpret_cast<HKEY>(root), path.c_str());
        RegDeleteKeyA(reinterpret_cast<HKEY>(root), path.c_str());
    }
    std::string ScratchKey() override { return m_keyRoot + "\\K" + std::to_string(++m_keys); }

private:
    static void WriteFile_(HANDLE h, const std::string& bytes, DWORD* written) {
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), written, nullptr);
    }

    static int s_count;
    sys::win32::Win32Platform m_real;
    sys::win32::Win32Files m_realFiles;
    sys::ProgramPathOverride m_files;
    std::vector<std::string> m_written;
    std::vector<HANDLE> m_held;
    std::string m_root;
    std::string m_keyRoot;
    int m_dirs = 0;
    int m_keys = 0;
};

int Win32TestMachine::s_count = 0;

}  // namespace

std::unique_ptr<TestMachine> TestMachine::Create() { return std::make_unique<Win32TestMachine>(); }
