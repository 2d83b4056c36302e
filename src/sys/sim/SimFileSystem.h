// The simulated machine's file system: Windows paths, compared without
// regard to case.  Files live in memory; a host folder can be mounted under a
// Windows folder (read-only: what is written there lands in memory and hides
// the host file).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sys::sim {

class SimFileSystem {
public:
    // Folder that a bare file name of a profile lookup refers to.
    std::string windowsDir = "C:\\WINDOWS";
    // Folder that relative paths start from.
    std::string currentDir = "C:\\";

    void Mount(const std::string& windowsFolder, const std::string& hostFolder);
    void WriteFile(const std::string& path, const std::string& bytes);
    bool ReadFile(const std::string& path, std::string* bytes) const;
    bool Exists(const std::string& path) const;
    bool RemoveFile(const std::string& path);

    // The full path of `path` in a canonical form: drive and segments, "."
    // and ".." resolved, relative paths taken from currentDir, original case.
    std::string FullPath(const std::string& path) const;

private:
    // The host file behind a mounted Windows path, if there is one.
    std::optional<std::string> HostFile(const std::string& fullPath) const;

    struct File {
        std::string path;
        std::string bytes;
    };
    std::map<std::string, File> m_files;  // by folded full path
    std::vector<std::pair<std::string, std::string>> m_mounts;  // folded Windows folder, host folder
};

}  // namespace sys::sim
