#include "sys/sim/SimFileSystem.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sys/sim/WinText.h"

namespace sys::sim {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = sys::sim::FindSeparator(path, pos);
        if (end == std::string::npos) end = path.size();
        if (end > pos) parts.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

}  // namespace

std::string SimFileSystem::FullPath(const std::string& path) const {
    std::string joined;
    if (HasDrive(path)) {
        joined = path;
    } else if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
        joined = currentDir.substr(0, 2) + path;
    } else {
        joined = currentDir + "\\" + path;
    }
    std::vector<std::string> parts = Split(joined.substr(2));
    std::vector<std::string> out;
    for (const std::string& p : parts) {
        if (p == ".") continue;
        if (p == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(p);
    }
    std::string full = FoldCase(joined.substr(0, 2));
    for (const std::string& p : out) full += "\\" + p;
    if (out.empty()) full += "\\";
    return full;
}

void SimFileSystem::Mount(const std::string& windowsFolder, const std::string& hostFolder) {
    std::string key = FoldCase(FullPath(windowsFolder));
    if (key.size() > 3 && FindLastSeparator(key, "\\") == key.size() - 1) key.pop_back();
    m_mounts.emplace_back(key, hostFolder);
}

std::optional<std::string> SimFileSystem::HostPath(const std::string& fullPath, bool wantFolder) const {
    std::string folded = FoldCase(fullPath);
    for (const auto& [folder, host] : m_mounts) {
        std::string prefix = FindLastSeparator(folder, "\\") == folder.size() - 1 ? folder : folder + "\\";
        if (folded != folder && folded.compare(0, prefix.size(), prefix) != 0) continue;
        // Walk the host folder segment by segment, matching names without case.
        fs::path cur = host;
        bool found = true;
        const std::string rest = folded == folder ? std::string() : fullPath.substr(prefix.size());
        for (const std::string& seg : Split(rest)) {
            bool matched = false;
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(cur, ec)) {
                if (EqualNoCase(entry.path().filename().string(), seg)) {
                    cur = entry.path();
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                found = false;
                break;
            }
        }
        std::error_code ec;
        if (found && (wantFolder ? fs::is_directory(cur, ec) : fs::is_regular_file(cur, ec))) return cur.string();
    }
    return std::nullopt;
}

std::optional<std::string> SimFileSystem::HostFile(const std::string& fullPath) const {
    return HostPath(fullPath, false);
}

std::string SimFileSystem::FoldedPath(const std::string& path) const { return FoldCase(FullPath(path)); }

void SimFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
    std::string full = FullPath(path);
    MakeDir(full.substr(0, FindLastSeparator(full, "\\")));
    auto it = m_files.find(FoldCase(full));
    std::uint32_t attributes = it != m_files.end() ? it->second.attributes : 0x20u;
    m_files[FoldCase(full)] = File{full, bytes, attributes, ++m_generation};
}

void SimFileSystem::MakeDir(const std::string& path) {
    std::string full = FoldedPath(path);
    for (std::size_t i = FindSeparator(full, 3, "\\"); i != std::string::npos; i = FindSeparator(full, i + 1, "\\"))
        m_dirs.insert(full.substr(0, i));
    if (full.size() > 3) m_dirs.insert(full);
}

bool SimFileSystem::DirExists(const std::string& path) const {
    std::string full = FoldedPath(path);
    if (full.size() <= 3) return true;  // a drive's root
    return m_dirs.count(full) != 0 || HostPath(FullPath(path), true).has_value();
}

std::optional<std::uint32_t> SimFileSystem::Attributes(const std::string& path) const {
    std::string folded = FoldedPath(path);
    auto it = m_files.find(folded);
    if (it != m_files.end()) return it->second.attributes;
    if (HostFile(FullPath(path))) {
        auto a = m_hostAttributes.find(folded);
        return a != m_hostAttributes.end() ? a->second : 0x20u;
    }
    if (DirExists(path)) return 0x10u;
    return std::nullopt;
}

bool SimFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    std::string folded = FoldedPath(path);
    auto it = m_files.find(folded);
    if (it != m_files.end()) {
        it->second.attributes = attributes;
        return true;
    }
    if (HostFile(FullPath(path))) {
        m_hostAttributes[folded] = attributes;
        return true;
    }
    return false;
}

bool SimFileSystem::ReadFile(const std::string& path, std::string* bytes) const {
    std::string full = FullPath(path);
    auto it = m_files.find(FoldCase(full));
    if (it != m_files.end()) {
        *bytes = it->second.bytes;
        return true;
    }
    std::optional<std::string> host = HostFile(full);
    if (!host) return false;
    std::ifstream in(*host, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *bytes = ss.str();
    return true;
}

bool SimFileSystem::Exists(const std::string& path) const {
    std::string full = FullPath(path);
    return m_files.count(FoldCase(full)) != 0 || HostFile(full).has_value();
}

std::string SimFileSystem::Version(const std::string& path) const {
    std::string full = FullPath(path);
    auto it = m_files.find(FoldCase(full));
    if (it != m_files.end()) return "m" + std::to_string(it->second.generation);
    std::optional<std::string> host = HostFile(full);
    if (!host) return "";
    std::error_code error;
    const auto size = std::filesystem::file_size(*host, error);
    if (error) return "";
    const auto time = std::filesystem::last_write_time(*host, error);
    if (error) return "";
    return "h" + std::to_string(time.time_since_epoch().count()) + ":" + std::to_string(size);
}

bool SimFileSystem::RemoveFile(const std::string& path) {
    return m_files.erase(FoldCase(FullPath(path))) != 0;
}

std::map<std::string, std::string> SimFileSystem::Snapshot() const {
    std::map<std::string, std::string> out;
    for (const auto& [folded, file] : m_files) out[folded] = file.bytes;
    return out;
}

}  // namespace sys::sim
