// The simulated registry: a tree of keys whose key and value names compare
// without regard to case and keep their case; values keep their creation
// order, as on Windows.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"

namespace sys::sim {

class SimRegistry final : public IRegistry {
public:
    explicit SimRegistry(Faults& faults);

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

    // For tests and the unattended runner: direct access without handles.
    // The path starts with the root's name, e.g. "HKLM\\SOFTWARE\\X".
    bool KeyExists(const std::string& path) const;
    bool ReadValue(const std::string& keyPath, const std::string& name, std::uint32_t* type,
                   std::string* data) const;
    void WriteValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                    const std::string& data);
    std::size_t OpenHandleCount() const { return m_handles.size(); }
    // Every value written through the API: "HKLM\\key\\path: name".
    std::vector<std::string> writes;
    // Removes root\path with everything below it.
    void DeleteTree(RegHandle root, const std::string& path);
    // Every key ("HKLM\\...", folded) and every value ("key|name" -> type
    // and data), for comparing the registry before and after.
    std::map<std::string, std::string> Snapshot() const;

private:
    struct Value {
        std::string name;
        std::uint32_t type;
        std::string data;
    };
    struct Key {
        std::string name;
        std::vector<std::shared_ptr<Key>> subkeys;
        std::vector<Value> values;
        Key* parent = nullptr;
        bool deleted = false;
    };

    std::shared_ptr<Key> Resolve(RegHandle handle) const;
    // Walks `path` below `from`; creates missing keys when `create` is set.
    long Walk(std::shared_ptr<Key> from, const char* path, bool create, std::shared_ptr<Key>* found);
    std::shared_ptr<Key> RootByName(const std::string& name) const;
    Key* FindPath(const std::string& fullPath) const;
    // A handle holds its key: a deleted key stays readable as deleted.
    RegHandle NewHandle(std::shared_ptr<Key> key);
    static Value* FindValue(Key* key, const char* name);
    std::string PathOf(const Key* key) const;
    // Removes a key from its parent and marks it and everything below it deleted.
    static void Detach(const std::shared_ptr<Key>& key);

    Faults& m_faults;
    std::map<RegHandle, std::shared_ptr<Key>> m_roots;
    std::map<RegHandle, std::shared_ptr<Key>> m_handles;
    RegHandle m_nextHandle = 0x1000;
};

}  // namespace sys::sim
