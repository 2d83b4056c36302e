// The real adapters: each method is one Win32 call.
#pragma once

#include "sys/Platform.h"

namespace sys::win32 {

class Win32Registry final : public IRegistry {
public:
    long OpenKey(RegHandle root, const char* path, RegHandle* out) override;
    long CreateKey(RegHandle root, const char* path, const char* cls, RegHandle* out) override;
    long CloseKey(RegHandle key) override;
    long DeleteKey(RegHandle root, const char* path) override;
    long QueryValue(RegHandle key, const char* name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override;
    long SetValue(RegHandle key, const char* name, std::uint32_t type, const void* data,
                  std::uint32_t size) override;
    long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLen,
                   std::uint32_t* type) override;
};

class Win32Profile final : public IProfile {
public:
    std::uint32_t GetPrivateString(const char* section, const char* key, const char* def, char* buffer,
                                   std::uint32_t size, const char* file) override;
};

class Win32Files final : public IFiles {
public:
    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    bool Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) override;
    bool SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) override;
    std::uint32_t GetAttributes(const char* path, std::uint32_t* error) override;
    bool OpenExisting(const char* path, std::uint32_t* error) override;
};

// The adapters of the running system, bundled.
class Win32Platform {
public:
    Platform platform() { return Platform{m_registry, m_profile, m_files}; }

private:
    Win32Registry m_registry;
    Win32Profile m_profile;
    Win32Files m_files;
};

}  // namespace sys::win32
