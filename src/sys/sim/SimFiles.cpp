#include "sys/sim/SimFiles.h"

#include <cstring>

#include "sys/ProgramPathOverride.h"
#include "sys/sim/WinText.h"

namespace sys::sim {

std::uint32_t SimFiles::ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetModuleFileNameA"))) return 0;
    return CopyModulePath(programPath, buffer, size, error);
}

namespace {

// The directory queries' answer: the length copied, or the size needed with
// the terminator when the buffer is too small.
std::uint32_t CopyDirectory(const std::string& dir, char* buffer, std::uint32_t size) {
    if (dir.size() + 1 > size) return static_cast<std::uint32_t>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<std::uint32_t>(dir.size());
}

std::string Folder(const std::string& path) {
    std::size_t slash = FindLastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::uint32_t SimFiles::MissingError(const std::string& path) const {
    std::string folder = Folder(m_fs.FullPath(path));
    return folder.empty() || m_fs.DirExists(folder) ? kErrorFileNotFound : kErrorPathNotFound;
}

std::uint32_t SimFiles::CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetCurrentDirectoryA"))) return 0;
    return CopyDirectory(m_fs.currentDir, buffer, size);
}

std::uint32_t SimFiles::SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetSystemDirectoryA"))) return 0;
    return CopyDirectory(m_fs.systemDir, buffer, size);
}

std::uint32_t SimFiles::WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetWindowsDirectoryA"))) return 0;
    return CopyDirectory(m_fs.windowsDir, buffer, size);
}

bool SimFiles::Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) {
    if ((*error = m_faults.Take("CopyFileA"))) return false;
    std::string bytes;
    if (!m_fs.ReadFile(source, &bytes)) {
        *error = MissingError(source);
        return false;
    }
    const std::string src = m_fs.FullPath(source);
    const std::string dst = m_fs.FullPath(destination);
    if (!m_fs.DirExists(Folder(dst))) {
        *error = kErrorPathNotFound;
        return false;
    }
    std::optional<std::uint32_t> existing = m_fs.Attributes(dst);
    if (existing && (*existing & kFileAttributeDirectory)) {
        *error = kErrorAccessDenied;
        return false;
    }
    if (existing && failIfExists) {
        *error = kErrorFileExists;
        return false;
    }
    // A file onto itself, or onto a file held open without sharing.
    if (m_fs.IsHeld(src) || m_fs.IsHeld(dst) || EqualNoCase(src, dst)) {
        *error = kErrorSharingViolation;
        return false;
    }
    if (existing && (*existing & kFileAttributeReadOnly)) {
        *error = kErrorAccessDenied;
        return false;
    }
    m_fs.WriteFile(dst, bytes);
    copies.emplace_back(source, destination);
    m_fs.SetAttributes(dst, m_fs.Attributes(src).value_or(kFileAttributeArchive) | kFileAttributeArchive);
    return true;
}

bool SimFiles::SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) {
    if ((*error = m_faults.Take("SetFileAttributesA"))) return false;
    if (m_fs.Attributes(path) && m_fs.SetAttributes(path, attributes)) return true;
    if (m_fs.DirExists(path)) return true;
    *error = MissingError(path);
    return false;
}

std::uint32_t SimFiles::GetAttributes(const char* path, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetFileAttributesA"))) return kInvalidFileAttributes;
    std::optional<std::uint32_t> a = m_fs.Attributes(path);
    if (!a) {
        *error = MissingError(path);
        return kInvalidFileAttributes;
    }
    return *a;
}

bool SimFiles::OpenExisting(const char* path, std::uint32_t* error) {
    if ((*error = m_faults.Take("CreateFileA"))) return false;
    if (!m_fs.Exists(path)) {
        *error = MissingError(path);
        return false;
    }
    // Opening without any access rights never conflicts with another
    // handle's sharing mode, so a file held open still counts as there.
    return true;
}

bool SimFiles::AppendFile(const char* path, const std::string& bytes, std::uint32_t* error) {
    if ((*error = m_faults.Take("WriteFile"))) return false;
    const std::string full = m_fs.FullPath(path);
    if (!m_fs.DirExists(Folder(full))) {
        *error = kErrorPathNotFound;
        return false;
    }
    const std::optional<std::uint32_t> existing = m_fs.Attributes(full);
    if (m_fs.IsHeld(full)) {
        *error = kErrorSharingViolation;
        return false;
    }
    if (existing && (*existing & (kFileAttributeDirectory | kFileAttributeReadOnly))) {
        *error = kErrorAccessDenied;
        return false;
    }
    std::string old;
    m_fs.ReadFile(full, &old);
    m_fs.WriteFile(full, old + bytes);
    return true;
}

std::uint32_t SimFiles::TempPath(char* buffer, std::uint32_t size, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetTempPathA"))) return 0;
    return CopyDirectory(m_fs.tempDir + "\\", buffer, size);
}

}  // namespace sys::sim
