// The running program as the simulated machine sees it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"
#include "sys/sim/SimFileSystem.h"

namespace sys::sim {

class SimFiles final : public IFiles {
public:
    SimFiles(SimFileSystem& fs, Faults& faults) : m_fs(fs), m_faults(faults) {}

    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    bool Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) override;
    bool SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) override;
    std::uint32_t GetAttributes(const char* path, std::uint32_t* error) override;
    bool OpenExisting(const char* path, std::uint32_t* error) override;
    // Fails as the fault "WriteFile" (the log is its only user, so that a
    // fault planned for the installation's own file calls never lands here).
    bool AppendFile(const char* path, const std::string& bytes, std::uint32_t* error) override;
    // fs.tempDir with a backslash; fails as the fault "GetTempPathA".
    std::uint32_t TempPath(char* buffer, std::uint32_t size, std::uint32_t* error) override;

    // Every successful copy, source and destination as given.
    std::vector<std::pair<std::string, std::string>> copies;

    // Full path of the running program.
    std::string programPath = "D:\\instalix.exe";

private:
    // ERROR_FILE_NOT_FOUND when the folder exists, else ERROR_PATH_NOT_FOUND.
    std::uint32_t MissingError(const std::string& path) const;

    SimFileSystem& m_fs;
    Faults& m_faults;
};

}  // namespace sys::sim
