#include "PackageFolder.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {
#ifdef _WIN32
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif
}  // namespace

std::string DiskPackageFolder::Join(const std::string& path) const {
    std::string out = m_root;
    if (path.empty()) return out;
    out += kSeparator;
    for (char c : path) out += c == '/' ? kSeparator : c;
    return out;
}

bool DiskPackageFolder::List(const std::string& path, std::vector<PackageEntry>* entries) {
    entries->clear();
    const std::string dir = Join(path);
#ifdef _WIN32
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        entries->push_back(PackageEntry{name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find, &data));
    FindClose(find);
#else
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        const bool folder = stat((dir + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries->push_back(PackageEntry{name, folder});
    }
    closedir(d);
#endif
    // The same order on every system.
    std::sort(entries->begin(), entries->end(),
              [](const PackageEntry& a, const PackageEntry& b) { return a.name < b.name; });
    return true;
}

bool DiskPackageFolder::Read(const std::string& path, std::string* bytes) {
    std::FILE* f = std::fopen(Join(path).c_str(), "rb");
    if (!f) return false;
    bytes->clear();
    char buffer[4096];
    bool ok = true;
    for (;;) {
#ifdef _WIN32
        // The runtime's own read: msvcrt's fread is not among the imports
        // known to be on Windows 98 and NT 4.0.
        const int n = _read(_fileno(f), buffer, sizeof buffer);
#else
        const long n = static_cast<long>(std::fread(buffer, 1, sizeof buffer, f));
        if (n == 0 && std::ferror(f)) ok = false;
#endif
        if (n < 0) ok = false;
        if (n <= 0) break;
        bytes->append(buffer, static_cast<std::size_t>(n));
    }
    std::fclose(f);
    return ok;
}
