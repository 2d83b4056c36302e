#include "sys/sim/SimFileSystem.h"

#include <time.h>

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

std::string SimFileSystem::FullPath(const std::string& path) const { return Resolve(path).full; }

const SimFileSystem::Resolved& SimFileSystem::Resolve(const std::string& path) const {
    // The same few paths are asked for over and over: each is worked out once
    // for the current folder.
    if (m_resolvedDir != currentDir || m_resolved.size() >= 4096) {
        m_resolved.clear();
        m_resolvedDir = currentDir;
    }
    auto it = m_resolved.find(path);
    if (it != m_resolved.end()) return it->second;
    std::string full = MakeFullPath(path);
    std::string folded = FoldCase(full);
    return m_resolved.emplace(path, Resolved{std::move(full), std::move(folded)}).first->second;
}

std::string SimFileSystem::MakeFullPath(const std::string& path) const {
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
    m_hostFiles.clear();
}

namespace {

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// Whether a host file or folder is still as it was when `kept` was taken.
bool SameState(const struct stat& a, const struct stat& kept) {
    return a.st_dev == kept.st_dev && a.st_ino == kept.st_ino && a.st_mode == kept.st_mode &&
           a.st_size == kept.st_size && SameTime(a.st_mtim, kept.st_mtim) && SameTime(a.st_ctim, kept.st_ctim);
}

// Whether what was seen of a file or folder with this stat at `now` is
// sure to be told apart from any later change by its times.  A change
// within the file system's time step of the last one keeps the same times,
// so a stat that recent cannot vouch for the contents.  The step is the
// kernel's tick where times have nanoseconds, else whole seconds (two on
// some file systems).
bool Settled(const struct stat& st, const timespec& now) {
    const timespec& last = st.st_ctim.tv_sec > st.st_mtim.tv_sec ||
                                   (st.st_ctim.tv_sec == st.st_mtim.tv_sec && st.st_ctim.tv_nsec > st.st_mtim.tv_nsec)
                               ? st.st_ctim
                               : st.st_mtim;
    const long long margin = last.tv_nsec == 0 ? 2000000000LL : 100000000LL;
    const long long age = (static_cast<long long>(now.tv_sec) - last.tv_sec) * 1000000000LL + (now.tv_nsec - last.tv_nsec);
    return age > margin;
}

timespec Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

std::string Join(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

const SimFileSystem::Listing* SimFileSystem::HostListing(const std::string& folder) const {
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        m_listings.erase(folder);
        return nullptr;
    }
    Listing& kept = m_listings[folder];
    if (kept.settled && SameState(st, kept.stamp)) return &kept;
    const timespec now = Now();
    ++m_hostListings;
    kept.names.clear();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        kept.names.emplace(FoldCase(name), name);  // the first of a folding wins
    }
    kept.stamp = st;
    kept.settled = !ec && Settled(st, now);
    return &kept;
}

bool SimFileSystem::FindHost(const std::string& fullPath, const std::string& folded, bool wantFolder,
                             std::string* hostPath, struct stat* st) const {
    // A file found before is still the one meant while it is there, the
    // same file, at the same host path: its stat is all it takes.  (Only a
    // name differing in case added beside it could, in a walk, be met first.)
    if (!wantFolder) {
        auto hit = m_hostFiles.find(folded);
        if (hit != m_hostFiles.end()) {
            if (::stat(hit->second.path.c_str(), st) == 0 && S_ISREG(st->st_mode) && st->st_dev == hit->second.dev &&
                st->st_ino == hit->second.ino) {
                if (hostPath) *hostPath = hit->second.path;
                return true;
            }
            m_hostFiles.erase(hit);
        }
    }
    bool first = true;
    for (const auto& [folder, host] : m_mounts) {
        std::string prefix = FindLastSeparator(folder, "\\") == folder.size() - 1 ? folder : folder + "\\";
        if (folded != folder && folded.compare(0, prefix.size(), prefix) != 0) continue;
        // Walk the host folder segment by segment, matching names without case.
        std::string cur = host;
        bool found = true;
        const std::string rest = folded == folder ? std::string() : fullPath.substr(prefix.size());
        for (const std::string& seg : Split(rest)) {
            const Listing* listing = HostListing(cur);
            if (!listing) {
                found = false;
                break;
            }
            auto name = listing->names.find(FoldCase(seg));
            if (name == listing->names.end()) {
                found = false;
                break;
            }
            cur = Join(cur, name->second);
        }
        if (found && ::stat(cur.c_str(), st) == 0 && (wantFolder ? S_ISDIR(st->st_mode) : S_ISREG(st->st_mode))) {
            // Kept only from the first mount over the path: a file of an
            // earlier one would come before it.
            if (!wantFolder && first) m_hostFiles[folded] = HostFileHit{cur, st->st_dev, st->st_ino};
            if (hostPath) *hostPath = cur;
            return true;
        }
        first = false;
    }
    return false;
}

std::optional<std::string> SimFileSystem::HostPath(const std::string& fullPath, bool wantFolder) const {
    std::string host;
    struct stat st;
    if (!FindHost(fullPath, FoldCase(fullPath), wantFolder, &host, &st)) return std::nullopt;
    return host;
}

std::optional<std::string> SimFileSystem::HostFile(const std::string& fullPath) const {
    return HostPath(fullPath, false);
}

std::string SimFileSystem::FoldedPath(const std::string& path) const { return Resolve(path).folded; }

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

std::string SimFileSystem::Version(const std::string& path, std::string* key) const {
    const Resolved& resolved = Resolve(path);
    if (key) *key = resolved.folded;
    const std::string& full = resolved.full;
    auto it = m_files.find(resolved.folded);
    if (it != m_files.end()) return "m" + std::to_string(it->second.generation);
    // The clock before the stat: a change after it cannot carry an older time.
    const timespec now = Now();
    struct stat st;
    if (!FindHost(full, resolved.folded, false, nullptr, &st)) return "";
    // The stat's identifying fields as they are: the text is only compared.
    const long long stamp[7] = {static_cast<long long>(st.st_dev),    static_cast<long long>(st.st_ino),
                                static_cast<long long>(st.st_size),   static_cast<long long>(st.st_mtim.tv_sec),
                                static_cast<long long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_ctim.tv_sec),
                                static_cast<long long>(st.st_ctim.tv_nsec)};
    std::string version = "h" + std::string(reinterpret_cast<const char*>(stamp), sizeof stamp);
    // Too recent to vouch for the contents: a version never given before.
    if (!Settled(st, now)) return version + ("~" + std::to_string(++m_racyReads));
    return version;
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
