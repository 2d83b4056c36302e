// Copying driver files from the installation medium into the spooler's and
// the system's directories.
#pragma once

#include <string>

#include "config/InstallTypes.h"
#include "sys/Platform.h"

enum class CopyTarget { DriverDir, DriverDirV3, ProcessorDir, SystemDir };

// What a copy of a driver file gives back.  A destination in use or refused
// comes back as its error code, unreported, for the caller's rename fallback.
constexpr int kCopyFailed = 0;
constexpr int kCopied = 1;
constexpr int kCopyInUse = static_cast<int>(sys::kErrorSharingViolation);
constexpr int kCopyDenied = static_cast<int>(sys::kErrorAccessDenied);

// Whether a copy found its destination held by the system (in use or access
// denied), so that the file may be stored as "n" + its name instead.
inline bool CopyRefused(int result) { return result == kCopyInUse || result == kCopyDenied; }

// Copies `fileName` from the medium's folder for `target` (under the current
// directory) into `destination`, as "n" + fileName when `rename` is set.
// Returns kCopied, kCopyInUse, kCopyDenied, or kCopyFailed after reporting
// the failure.  A name starting with "0" (no such file) is skipped silently
// (kCopyFailed); a name that is not a bare file name is refused like a
// failed copy.
int CopyDriverFile(const sys::Platform& platform, const std::string& fileName, CopyTarget destination,
                   TargetSystem target, bool rename);
// The same for a copy that has no fallback: a destination in use or refused
// is reported like every other failure, and kCopyFailed is returned.
int CopyDriverFileReported(const sys::Platform& platform, const std::string& fileName, CopyTarget destination,
                           TargetSystem target);

// Puts the universal printer driver's support files in place: UNIDRV.DLL in
// the system directory on Windows 98/Me, the DDK support files on 2000 and
// later when the DDK flag is set.
void StageUniversalDriver(const sys::Platform& platform, TargetSystem target, int ddkFlag);

// The medium's files that StageUniversalDriver copies: on Windows 98/Me
// (UNIDRV.DLL only when the system has none), and on 2000 and later for a
// driver with the DDK flag.
extern const char* const kWin98StagedFiles[2];  // "ICONLIB.DLL", "UNIDRV.DLL"
extern const char* const kDdkSupportFiles[3];   // "UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"

// Whether the installation copies the two-colour library for a model on
// Windows 98/Me (models whose name holds "MTR-C30" or "MTR-C40").
bool NeedsColourLibrary(const std::string& model);
extern const char kColourLibrary[];  // "DMCOLOR.DLL"

// Whether a configured file name is a bare name that stays in its folder
// (no path separator, drive or "..").
bool IsBareFileName(const std::string& name);
// Whether `name` holds one of `separators`, walked by code page 936
// characters (a second byte of 0x5C is no "\\").
bool HoldsSeparator(const std::string& name, const char* separators);

// The medium's folder of a Windows family: "\\win98\\", "\\winnt\\" or "\\win2003\\".
const char* SourceFolder(TargetSystem target);
