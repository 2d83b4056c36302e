#include "spooler/DriverStaging.h"

#include <cstring>
#include <functional>
#include <vector>

#include "config/ConfigReader.h"
#include "resource.h"

namespace {

using DirectoryQuery = std::function<std::uint32_t(char*, std::uint32_t, std::uint32_t*)>;

// Reads a directory through a GetXxxDirectoryA-style query, whole however
// long it is; false when the query fails.
bool ReadDirectory(const DirectoryQuery& query, std::string* dir) {
    std::uint32_t size = 260;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> buffer(size, '\0');
        std::uint32_t error = 0;
        std::uint32_t n = query(buffer.data(), size, &error);
        if (n == 0) return false;
        if (n < size) {
            dir->assign(buffer.data(), n);
            return true;
        }
        size = n + 1;
    }
    return false;
}

void Error(const sys::Platform& p, int id) { p.messages.ShowMessage(id, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Error); }

bool DestinationDirectory(const sys::Platform& p, CopyTarget destination, std::string* dir) {
    std::uint32_t error = 0;
    switch (destination) {
        case CopyTarget::DriverDir:
        case CopyTarget::DriverDirV3:
            if (!p.spooler.PrinterDriverDirectory(dir, &error)) {
                Error(p, IDS_NO_DRIVER_DIR);
                return false;
            }
            if (destination == CopyTarget::DriverDirV3) *dir += "\\3";
            return true;
        case CopyTarget::ProcessorDir:
            if (!p.spooler.PrintProcessorDirectory(dir, &error)) {
                Error(p, IDS_NO_PROCESSOR_DIR);
                return false;
            }
            return true;
        case CopyTarget::SystemDir:
            if (!ReadDirectory([&](char* b, std::uint32_t s, std::uint32_t* e) { return p.files.SystemDirectory(b, s, e); },
                               dir)) {
                Error(p, IDS_NO_SYSTEM_DIR);
                return false;
            }
            return true;
    }
    return false;
}

}  // namespace

const char* const kWin98StagedFiles[2] = {"ICONLIB.DLL", "UNIDRV.DLL"};
const char* const kDdkSupportFiles[3] = {"UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"};
const char kColourLibrary[] = "DMCOLOR.DLL";

bool NeedsColourLibrary(const std::string& model) {
    return model.find("MTR-C30") != std::string::npos || model.find("MTR-C40") != std::string::npos;
}

bool HoldsSeparator(const std::string& name, const char* separators) {
    // By characters of code page 936: the second byte of a two-byte
    // character may be 0x5C, which is no path separator there.
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (c != 0 && std::strchr(separators, c)) return true;
    }
    return false;
}

bool IsBareFileName(const std::string& name) {
    return !name.empty() && name.find("..") == std::string::npos && !HoldsSeparator(name, "\\/:");
}

const char* SourceFolder(TargetSystem target) {
    switch (target) {
        case TargetSystem::Win98Me: return "\\win98\\";
        case TargetSystem::WinServer2003: return "\\win2003\\";
        default: return "\\winnt\\";
    }
}

namespace {

int CopyOne(const sys::Platform& p, const std::string& fileName, CopyTarget destination, TargetSystem target,
            bool rename, bool reportBusy) {
    if (SaysNoFile(fileName)) return kCopyFailed;

    std::string dir;
    if (!DestinationDirectory(p, destination, &dir)) return kCopyFailed;

    std::string source;
    if (!ReadDirectory([&](char* b, std::uint32_t s, std::uint32_t* e) { return p.files.CurrentDirectory(b, s, e); },
                       &source)) {
        Error(p, IDS_NO_CURRENT_DIR);
        return kCopyFailed;
    }
    // The current directory may be a drive's root, "E:\".
    if (!source.empty() && source.back() == '\\') source.pop_back();
    source += SourceFolder(target);
    source += fileName;

    if (!IsBareFileName(fileName)) {
        p.messages.ShowText(source.c_str(), sys::MsgButtons::Ok, sys::MsgIcon::Error);
        Error(p, IDS_COPY_FAILED);
        return kCopyFailed;
    }

    const std::string dest = dir + "\\" + (rename ? "n" : "") + fileName;
    std::uint32_t error = 0;
    // An existing read-only, hidden or system file can then be replaced.
    p.files.SetAttributes(dest.c_str(), sys::kFileAttributeArchive, &error);
    if (p.files.Copy(source.c_str(), dest.c_str(), false, &error)) return kCopied;
    if (!reportBusy && CopyRefused(static_cast<int>(error))) return static_cast<int>(error);
    p.messages.ShowText(source.c_str(), sys::MsgButtons::Ok, sys::MsgIcon::Error);
    Error(p, IDS_COPY_FAILED);
    return kCopyFailed;
}

}  // namespace

int CopyDriverFile(const sys::Platform& p, const std::string& fileName, CopyTarget destination, TargetSystem target,
                   bool rename) {
    return CopyOne(p, fileName, destination, target, rename, false);
}

int CopyDriverFileReported(const sys::Platform& p, const std::string& fileName, CopyTarget destination,
                           TargetSystem target) {
    return CopyOne(p, fileName, destination, target, false, true);
}

void StageUniversalDriver(const sys::Platform& p, TargetSystem target, int ddkFlag) {
    if (target == TargetSystem::Win98Me) {
        CopyDriverFileReported(p, kWin98StagedFiles[0], CopyTarget::DriverDir, target);
        std::string system, windows;
        if (!ReadDirectory([&](char* b, std::uint32_t s, std::uint32_t* e) { return p.files.SystemDirectory(b, s, e); },
                           &system)) {
            Error(p, IDS_NO_SYSTEM_DIR);
            return;
        }
        if (!ReadDirectory([&](char* b, std::uint32_t s, std::uint32_t* e) { return p.files.WindowsDirectory(b, s, e); },
                           &windows)) {
            Error(p, IDS_NO_WINDOWS_DIR);
            return;
        }
        const std::string systemCopy = system + "\\" + kWin98StagedFiles[1];
        const std::string backupCopy = windows + "\\Sysbckup\\" + kWin98StagedFiles[1];
        std::uint32_t error = 0;
        if (p.files.OpenExisting(systemCopy.c_str(), &error)) return;
        if (!p.files.Copy(backupCopy.c_str(), systemCopy.c_str(), true, &error))
            CopyDriverFileReported(p, kWin98StagedFiles[1], CopyTarget::DriverDir, target);
        return;
    }
    const bool nt5 = target == TargetSystem::Win2000 || target == TargetSystem::WinXP ||
                     target == TargetSystem::WinServer2003;
    if (nt5 && ddkFlag) {
        for (const char* f : kDdkSupportFiles) CopyDriverFileReported(p, f, CopyTarget::DriverDirV3, target);
        for (int i = 2; i >= 0; --i) CopyDriverFileReported(p, kDdkSupportFiles[i], CopyTarget::DriverDir, target);
    }
}
