#include "sys/RegistryKey.h"

#include <cstring>

RegistryKey::RegistryKey(sys::IRegistry& registry, sys::RegHandle root, const char* path) : m_registry(registry) {
    Open(root, path);
}

RegistryKey::~RegistryKey() { Close(); }

bool RegistryKey::Open(sys::RegHandle root, const char* path) {
    Close();
    sys::RegHandle key = 0;
    long rc = m_registry.OpenKey(root, path, &key);
    m_hKey = rc == sys::kErrorSuccess ? key : 0;
    return m_hKey != 0;
}

bool RegistryKey::Close() {
    if (!m_hKey) return false;
    long rc = m_registry.CloseKey(m_hKey);
    m_hKey = 0;
    return rc == sys::kErrorSuccess;
}

bool RegistryKey::QueryValue(const char* name, void* buffer, std::uint32_t size) {
    if (!m_hKey) return false;
    std::uint32_t inOut = size;
    return m_registry.QueryValue(m_hKey, name, nullptr, buffer, &inOut) == sys::kErrorSuccess;
}

bool RegistryKey::QueryDWORD(const char* name, std::uint32_t* value) { return QueryValue(name, value, 4); }

bool RegistryKey::QueryString(const char* name, char* buffer, std::uint32_t size) {
    if (size == 0) return false;
    buffer[0] = '\0';
    if (!QueryValue(name, buffer, size)) return false;
    // A value stored without its terminator may fill the whole buffer.
    if (std::memchr(buffer, '\0', size) == nullptr) buffer[size - 1] = '\0';
    return true;
}

std::optional<std::vector<std::string>> RegistryKey::QueryList(const char* name) {
    std::vector<char> buffer(2500, '\0');
    if (!QueryString(name, buffer.data(), static_cast<std::uint32_t>(buffer.size())) || buffer[0] == '\0')
        return std::nullopt;
    std::string text(buffer.data());
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (true) {
        std::size_t semi = text.find(';', pos);
        items.push_back(text.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos));
        if (semi == std::string::npos || semi + 1 >= text.size()) break;
        pos = semi + 1;
    }
    return items;
}

bool RegistryKey::SetValue(const char* name, const void* data, std::uint32_t type, std::uint32_t size) {
    if (!m_hKey) return false;
    return m_registry.SetValue(m_hKey, name, type, data, size) == sys::kErrorSuccess;
}

bool RegistryKey::SetDWORD(const char* name, std::uint32_t value) { return SetValue(name, &value, sys::kRegDword, 4); }

bool RegistryKey::SetString(const char* name, const char* text) {
    return SetValue(name, text, sys::kRegSz, static_cast<std::uint32_t>(std::strlen(text) + 1));
}

long RegistryKey::EnumValue(std::uint32_t index, char* name, std::uint32_t* nameLen, std::uint32_t* type) {
    if (!m_hKey) return sys::kErrorInvalidHandle;
    return m_registry.EnumValue(m_hKey, index, name, nameLen, type);
}

bool RegistryKey::CreateKey(sys::IRegistry& registry, sys::RegHandle root, const char* path, const char* keyClass) {
    sys::RegHandle key = 0;
    if (registry.CreateKey(root, path, keyClass, &key) != sys::kErrorSuccess) return false;
    registry.CloseKey(key);
    return true;
}

bool RegistryKey::DeleteKey(sys::IRegistry& registry, sys::RegHandle root, const char* path) {
    return registry.DeleteKey(root, path) == sys::kErrorSuccess;
}
