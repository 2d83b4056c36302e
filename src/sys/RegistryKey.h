// Holds at most one open registry key and offers the few reads and writes
// the installation needs.  Never shows a message: every operation reports
// success as a boolean (EnumValue as the Win32 status code).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sys/Platform.h"

class RegistryKey {
public:
    explicit RegistryKey(sys::IRegistry& registry) : m_registry(registry) {}
    // Opens the key at once; whether it opened shows in IsOpen.
    RegistryKey(sys::IRegistry& registry, sys::RegHandle root, const char* path);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Closes a held key, then opens root\path with full access.
    bool Open(sys::RegHandle root, const char* path);
    // True when a held key was closed without error; false when none was held.
    bool Close();
    bool IsOpen() const { return m_hKey != 0; }

    bool QueryValue(const char* name, void* buffer, std::uint32_t size);
    bool QueryDWORD(const char* name, std::uint32_t* value);
    // Reads a string value into `buffer`, always terminated: a value that
    // fills the buffer without a terminator is cut by one character.
    bool QueryString(const char* name, char* buffer, std::uint32_t size);
    // A string value of up to 2499 characters split at each ";": "a;b;" gives
    // a and b, "a;;b" gives a, an empty item and b.  None when the value
    // cannot be read or is empty.
    std::optional<std::vector<std::string>> QueryList(const char* name);

    bool SetValue(const char* name, const void* data, std::uint32_t type, std::uint32_t size);
    bool SetDWORD(const char* name, std::uint32_t value);
    // Stores the text with its terminating zero.
    bool SetString(const char* name, const char* text);

    // The Win32 status of RegEnumValueA without data; ERROR_INVALID_HANDLE
    // when no key is held.
    long EnumValue(std::uint32_t index, char* name, std::uint32_t* nameLen, std::uint32_t* type);

    // True when root\path exists afterwards; the new key is closed at once.
    static bool CreateKey(sys::IRegistry& registry, sys::RegHandle root, const char* path,
                          const char* keyClass = nullptr);
    static bool DeleteKey(sys::IRegistry& registry, sys::RegHandle root, const char* path);

private:
    sys::IRegistry& m_registry;
    sys::RegHandle m_hKey = 0;
};
