#include "sys/sim/SimRegistry.h"

#include <algorithm>
#include <cstring>

#include "sys/sim/WinText.h"

namespace sys::sim {

SimRegistry::SimRegistry(Faults& faults) : m_faults(faults) {
    const std::pair<RegHandle, const char*> roots[] = {{kHKeyClassesRoot, "HKEY_CLASSES_ROOT"},
                                                       {kHKeyCurrentUser, "HKEY_CURRENT_USER"},
                                                       {kHKeyLocalMachine, "HKEY_LOCAL_MACHINE"},
                                                       {kHKeyUsers, "HKEY_USERS"}};
    for (const auto& [h, name] : roots) {
        auto key = std::make_shared<Key>();
        key->name = name;
        m_roots[h] = key;
    }
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Resolve(RegHandle handle) const {
    auto r = m_roots.find(handle);
    if (r != m_roots.end()) return r->second;
    auto h = m_handles.find(handle);
    if (h != m_handles.end()) return h->second;
    return nullptr;
}

RegHandle SimRegistry::NewHandle(std::shared_ptr<Key> key) {
    RegHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles[handle] = std::move(key);
    return handle;
}

long SimRegistry::Walk(std::shared_ptr<Key> from, const char* path, bool create, std::shared_ptr<Key>* found) {
    *found = nullptr;
    std::string p = path ? path : "";
    if (!p.empty() && p[0] == '\\') return kErrorBadPathname;
    std::shared_ptr<Key> cur = std::move(from);
    std::size_t pos = 0;
    while (pos < p.size()) {
        std::size_t end = FindSeparator(p, pos, "\\");
        if (end == std::string::npos) end = p.size();
        std::string seg = p.substr(pos, end - pos);
        pos = end + 1;
        if (seg.empty()) {
            // Trailing backslashes are accepted; an empty segment inside is not.
            if (p.find_first_not_of('\\', end) == std::string::npos) break;
            return kErrorBadPathname;
        }
        if (seg.size() > 255) return kErrorInvalidParameter;
        std::shared_ptr<Key> next;
        for (auto& sub : cur->subkeys)
            if (EqualNoCase(sub->name, seg)) next = sub;
        if (!next) {
            if (!create) return kErrorFileNotFound;
            next = std::make_shared<Key>();
            next->name = seg;
            next->parent = cur.get();
            cur->subkeys.push_back(next);
        }
        cur = next;
    }
    *found = cur;
    return kErrorSuccess;
}

long SimRegistry::OpenKey(RegHandle root, const char* path, RegHandle* out) {
    *out = 0;
    if (std::uint32_t e = m_faults.Take("RegOpenKeyExA")) return e;
    std::shared_ptr<Key> base = Resolve(root);
    if (!base) return kErrorInvalidHandle;
    if (base->deleted) return kErrorKeyDeleted;
    std::shared_ptr<Key> key;
    long rc = Walk(base, path, false, &key);
    if (rc != kErrorSuccess) return rc;
    *out = NewHandle(key);
    return kErrorSuccess;
}

long SimRegistry::CreateKey(RegHandle root, const char* path, const char* /*cls*/, RegHandle* out) {
    *out = 0;
    if (std::uint32_t e = m_faults.Take("RegCreateKeyExA")) return e;
    std::shared_ptr<Key> base = Resolve(root);
    if (!base) return kErrorInvalidHandle;
    if (base->deleted) return kErrorKeyDeleted;
    std::shared_ptr<Key> key;
    long rc = Walk(base, path, true, &key);
    if (rc != kErrorSuccess) return rc;
    *out = NewHandle(key);
    return kErrorSuccess;
}

long SimRegistry::CloseKey(RegHandle key) {
    if (std::uint32_t e = m_faults.Take("RegCloseKey")) return e;
    if (m_roots.count(key)) return kErrorSuccess;
    return m_handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long SimRegistry::DeleteKey(RegHandle root, const char* path) {
    if (std::uint32_t e = m_faults.Take("RegDeleteKeyA")) return e;
    std::shared_ptr<Key> base = Resolve(root);
    if (!base) return kErrorInvalidHandle;
    std::shared_ptr<Key> key;
    long rc = Walk(base, path, false, &key);
    if (rc != kErrorSuccess) return rc;
    if (!key->parent || !key->subkeys.empty()) return kErrorAccessDenied;
    Detach(key);
    return kErrorSuccess;
}

void SimRegistry::Detach(const std::shared_ptr<Key>& key) {
    // Handles still open on the key or below it see it as deleted.
    std::vector<Key*> pending{key.get()};
    while (!pending.empty()) {
        Key* k = pending.back();
        pending.pop_back();
        k->deleted = true;
        for (auto& sub : k->subkeys) pending.push_back(sub.get());
    }
    auto& siblings = key->parent->subkeys;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
}

SimRegistry::Value* SimRegistry::FindValue(Key* key, const char* name) {
    std::string n = name ? name : "";
    for (Value& v : key->values)
        if (EqualNoCase(v.name, n)) return &v;
    return nullptr;
}

long SimRegistry::QueryValue(RegHandle handle, const char* name, std::uint32_t* type, void* data,
                             std::uint32_t* size) {
    if (std::uint32_t e = m_faults.Take("RegQueryValueExA")) return e;
    std::shared_ptr<Key> key = Resolve(handle);
    if (!key) return kErrorInvalidHandle;
    if (key->deleted) return kErrorKeyDeleted;
    Value* v = FindValue(key.get(), name);
    if (!v) return kErrorFileNotFound;
    if (type) *type = v->type;
    std::uint32_t need = static_cast<std::uint32_t>(v->data.size());
    if (data) {
        if (!size) return kErrorInvalidParameter;
        if (*size < need) {
            *size = need;
            return kErrorMoreData;
        }
        std::memcpy(data, v->data.data(), need);
    }
    if (size) *size = need;
    return kErrorSuccess;
}

long SimRegistry::SetValue(RegHandle handle, const char* name, std::uint32_t type, const void* data,
                           std::uint32_t size) {
    if (std::uint32_t e = m_faults.Take("RegSetValueExA")) return e;
    std::shared_ptr<Key> key = Resolve(handle);
    if (!key) return kErrorInvalidHandle;
    if (key->deleted) return kErrorKeyDeleted;
    if (!data && size) return kErrorInvalidParameter;
    std::string bytes = data ? std::string(static_cast<const char*>(data), size) : std::string();
    writes.push_back(PathOf(key.get()) + ": " + (name ? name : ""));
    if (Value* v = FindValue(key.get(), name)) {
        v->type = type;
        v->data = bytes;
    } else {
        key->values.push_back(Value{name ? name : "", type, bytes});
    }
    return kErrorSuccess;
}

long SimRegistry::EnumValue(RegHandle handle, std::uint32_t index, char* name, std::uint32_t* nameLen,
                            std::uint32_t* type) {
    if (std::uint32_t e = m_faults.Take("RegEnumValueA")) return e;
    std::shared_ptr<Key> key = Resolve(handle);
    if (!key) return kErrorInvalidHandle;
    if (key->deleted) return kErrorKeyDeleted;
    if (index >= key->values.size()) return kErrorNoMoreItems;
    const Value& v = key->values[index];
    if (v.name.size() + 1 > *nameLen) return kErrorMoreData;
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameLen = static_cast<std::uint32_t>(v.name.size());
    if (type) *type = v.type;
    return kErrorSuccess;
}

std::shared_ptr<SimRegistry::Key> SimRegistry::RootByName(const std::string& name) const {
    std::string n = FoldCase(name);
    RegHandle h = 0;
    if (n == "HKLM" || n == "HKEY_LOCAL_MACHINE") h = kHKeyLocalMachine;
    if (n == "HKCU" || n == "HKEY_CURRENT_USER") h = kHKeyCurrentUser;
    if (n == "HKCR" || n == "HKEY_CLASSES_ROOT") h = kHKeyClassesRoot;
    if (n == "HKU" || n == "HKEY_USERS") h = kHKeyUsers;
    auto it = m_roots.find(h);
    return it == m_roots.end() ? nullptr : it->second;
}

SimRegistry::Key* SimRegistry::FindPath(const std::string& fullPath) const {
    std::size_t slash = FindSeparator(fullPath, 0, "\\");
    Key* cur = RootByName(fullPath.substr(0, slash)).get();
    if (!cur || slash == std::string::npos) return cur;
    std::size_t pos = slash + 1;
    while (cur && pos < fullPath.size()) {
        std::size_t end = FindSeparator(fullPath, pos, "\\");
        if (end == std::string::npos) end = fullPath.size();
        std::string seg = fullPath.substr(pos, end - pos);
        pos = end + 1;
        if (seg.empty()) continue;
        Key* next = nullptr;
        for (auto& sub : cur->subkeys)
            if (EqualNoCase(sub->name, seg)) next = sub.get();
        cur = next;
    }
    return cur;
}

void SimRegistry::DeleteTree(RegHandle root, const std::string& path) {
    std::shared_ptr<Key> base = Resolve(root);
    std::shared_ptr<Key> key;
    if (!base || Walk(base, path.c_str(), false, &key) != kErrorSuccess || !key->parent) return;
    Detach(key);
}

std::string SimRegistry::PathOf(const Key* key) const {
    std::string path;
    for (const Key* k = key; k; k = k->parent) path = k->parent ? "\\" + k->name + path : k->name + path;
    return path;
}

std::map<std::string, std::string> SimRegistry::Snapshot() const {
    std::map<std::string, std::string> out;
    std::vector<const Key*> pending;
    for (const auto& [handle, root] : m_roots) pending.push_back(root.get());
    while (!pending.empty()) {
        const Key* key = pending.back();
        pending.pop_back();
        const std::string path = FoldCase(PathOf(key));
        out[path] = "<key>";
        for (const Value& v : key->values) out[path + "|" + FoldCase(v.name)] = std::to_string(v.type) + ":" + v.data;
        for (const auto& sub : key->subkeys) pending.push_back(sub.get());
    }
    return out;
}

bool SimRegistry::KeyExists(const std::string& path) const { return FindPath(path) != nullptr; }

bool SimRegistry::ReadValue(const std::string& keyPath, const std::string& name, std::uint32_t* type,
                            std::string* data) const {
    Key* key = FindPath(keyPath);
    if (!key) return false;
    Value* v = FindValue(key, name.c_str());
    if (!v) return false;
    if (type) *type = v->type;
    if (data) *data = v->data;
    return true;
}

void SimRegistry::WriteValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                             const std::string& data) {
    std::size_t slash = FindSeparator(keyPath, 0, "\\");
    std::shared_ptr<Key> key = RootByName(keyPath.substr(0, slash));
    if (!key) return;
    if (slash != std::string::npos) Walk(key, keyPath.c_str() + slash + 1, true, &key);
    if (!key) return;
    if (Value* v = FindValue(key.get(), name.c_str())) {
        v->type = type;
        v->data = data;
    } else {
        key->values.push_back(Value{name, type, data});
    }
}

}  // namespace sys::sim
