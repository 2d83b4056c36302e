// Presents another path as the running program's own, so that the
// configuration is read from a package folder of the caller's choosing
// (the package authors' tool, the tests).  Everything else passes through.
#pragma once

#include <string>

#include "sys/Platform.h"

namespace sys {

class ProgramPathOverride final : public IFiles {
public:
    ProgramPathOverride(IFiles& inner, std::string programPath)
        : m_inner(inner), m_programPath(std::move(programPath)) {}

    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override {
        return m_inner.CurrentDirectory(buffer, size, error);
    }
    std::uint32_t SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override {
        return m_inner.SystemDirectory(buffer, size, error);
    }
    std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override {
        return m_inner.WindowsDirectory(buffer, size, error);
    }
    bool Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) override {
        return m_inner.Copy(source, destination, failIfExists, error);
    }
    bool SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) override {
        return m_inner.SetAttributes(path, attributes, error);
    }
    std::uint32_t GetAttributes(const char* path, std::uint32_t* error) override {
        return m_inner.GetAttributes(path, error);
    }
    bool OpenExisting(const char* path, std::uint32_t* error) override { return m_inner.OpenExisting(path, error); }
    bool AppendFile(const char* path, const std::string& bytes, std::uint32_t* error) override {
        return m_inner.AppendFile(path, bytes, error);
    }
    std::uint32_t TempPath(char* buffer, std::uint32_t size, std::uint32_t* error) override {
        return m_inner.TempPath(buffer, size, error);
    }
    void SetPath(std::string programPath) { m_programPath = std::move(programPath); }

private:
    IFiles& m_inner;
    std::string m_programPath;
};

// Copies a program path into a caller's buffer the way GetModuleFileNameA
// does: a path that does not fit is cut to size - 1 characters and size is
// returned with ERROR_INSUFFICIENT_BUFFER.
std::uint32_t CopyModulePath(const std::string& path, char* buffer, std::uint32_t size, std::uint32_t* error);

}  // namespace sys
