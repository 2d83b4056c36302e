// An IFiles that hands every call on to another one: the base of the
// decorators that change or report only a few of the calls.
#pragma once

#include <string>

#include "sys/Platform.h"

namespace sys {

class ForwardingFiles : public IFiles {
public:
    explicit ForwardingFiles(IFiles& inner) : m_inner(inner) {}

    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override {
        return m_inner.ModuleFileName(buffer, size, error);
    }
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

protected:
    IFiles& m_inner;
};

}  // namespace sys
