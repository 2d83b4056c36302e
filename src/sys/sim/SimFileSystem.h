// The simulated machine's file system: Windows paths, compared without
// regard to case.  Files live in memory; a host folder can be mounted under a
// Windows folder (read-only: what is written there lands in memory and hides
// the host file).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sys::sim {

class SimFileSystem {
public:
    // Folder that a bare file name of a profile lookup refers to.
    std::string windowsDir = "C:\\WINDOWS";
    // Folder that relative paths start from.
    std::string currentDir = "C:\\";
    std::string systemDir = "C:\\WINDOWS\\system32";
    // The folder GetTempPathA answers (without its backslash).
    std::string tempDir = "C:\\WINDOWS\\TEMP";

    void Mount(const std::string& windowsFolder, const std::string& hostFolder);
    void WriteFile(const std::string& path, const std::string& bytes);
    bool ReadFile(const std::string& path, std::string* bytes) const;
    // What identifies the file's present contents: it changes whenever the
    // file is written, replaced or removed (a host file: its time and size).
    // Empty when there is no such file.
    // `key`, when given, receives FoldedPath(path).
    std::string Version(const std::string& path, std::string* key = nullptr) const;
    bool Exists(const std::string& path) const;
    bool RemoveFile(const std::string& path);
    // Creates a folder and the folders above it.
    void MakeDir(const std::string& path);
    bool DirExists(const std::string& path) const;
    // Attributes of a file or folder; empty when there is none.
    std::optional<std::uint32_t> Attributes(const std::string& path) const;
    bool SetAttributes(const std::string& path, std::uint32_t attributes);
    // A file held open by someone without sharing (the spooler, say).
    void HoldOpen(const std::string& path) { m_held.insert(FoldedPath(path)); }
    void Release(const std::string& path) { m_held.erase(FoldedPath(path)); }
    bool IsHeld(const std::string& path) const { return m_held.count(FoldedPath(path)) != 0; }

    // The full path of `path` in a canonical form: drive and segments, "."
    // and ".." resolved, relative paths taken from currentDir, original case.
    std::string FullPath(const std::string& path) const;
    // FullPath case folded: the name a file is known by.
    std::string FoldedPath(const std::string& path) const;

    // Every file written into the machine (not the mounted ones): folded
    // full path -> bytes, for comparing the machine before and after.
    std::map<std::string, std::string> Snapshot() const;

    // How many times a mounted host folder has been listed.  Listings are
    // kept until the folder changes, so reading an unchanged file again
    // lists nothing.
    std::uint64_t HostListings() const { return m_hostListings; }

private:
    struct Resolved {
        std::string full;    // as FullPath gives it
        std::string folded;  // the same, case folded
    };
    const Resolved& Resolve(const std::string& path) const;
    std::string MakeFullPath(const std::string& path) const;
    // The host file (or folder) behind a mounted Windows path, if there is one.
    std::optional<std::string> HostPath(const std::string& fullPath, bool wantFolder) const;
    std::optional<std::string> HostFile(const std::string& fullPath) const;
    // As HostPath, with the stat of what it found (hostPath may be null).
    bool FindHost(const std::string& fullPath, const std::string& folded, bool wantFolder, std::string* hostPath,
                  struct stat* st) const;

    // A host folder's entries, folded name -> the first name of that
    // folding in listing order, as of the folder's state in `stamp`.
    struct Listing {
        struct stat stamp {};
        // Taken long enough after the folder's last change that any later
        // change gives it another time: only then can the stamp vouch for it.
        bool settled = false;
        std::unordered_map<std::string, std::string> names;
    };
    // The folder's listing, taken anew only when its stat differs from the
    // kept one; null when it is no folder.
    const Listing* HostListing(const std::string& folder) const;

    struct File {
        std::string path;
        std::string bytes;
        std::uint32_t attributes;
        std::uint64_t generation = 0;
    };
    std::uint64_t m_generation = 0;
    std::map<std::string, File> m_files;  // by folded full path
    std::vector<std::pair<std::string, std::string>> m_mounts;  // folded Windows folder, host folder
    std::set<std::string> m_dirs;                               // folded folders made
    std::map<std::string, std::uint32_t> m_hostAttributes;      // attributes given to mounted files
    std::set<std::string> m_held;
    mutable std::unordered_map<std::string, Listing> m_listings;  // by host folder path
    struct HostFileHit {
        std::string path;
        dev_t dev;
        ino_t ino;
    };
    mutable std::unordered_map<std::string, HostFileHit> m_hostFiles;  // by folded Windows path
    mutable std::unordered_map<std::string, Resolved> m_resolved;       // by path as given
    mutable std::string m_resolvedDir;                                  // currentDir they were resolved in
    mutable std::uint64_t m_hostListings = 0;
    mutable std::uint64_t m_racyReads = 0;
};

}  // namespace sys::sim
