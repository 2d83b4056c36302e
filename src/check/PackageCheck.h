// The package authors' check of a driver package: the DRVCONFIG files read
// through the installer's own readers, their lines scanned for where each
// section and key lives and for what the profile API silently passes over,
// and the family folders looked up for every file the configuration names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/PackageRules.h"
#include "sys/Platform.h"

struct PackageEntry {
    std::string name;
    bool folder = false;
};

// The package's files as stored, for the line scan and the folder lookups.
class IPackageFolder {
public:
    virtual ~IPackageFolder() = default;
    // The entries of a folder of the package: "" is its root, deeper folders
    // are names as listed joined with '/'.  False when there is no folder.
    virtual bool List(const std::string& path, std::vector<PackageEntry>* entries) = 0;
    // The bytes of a file of the package, by the same kind of path.
    virtual bool Read(const std::string& path, std::string* bytes) = 0;
};

struct Diagnostic {
    std::string file;  // relative to the package's root, '/' between names
    int line = 1;
    Severity severity = Severity::Error;
    std::string text;
};

// Checks the package.  `platform` reads the same package: its program path
// lies in the package's root, so that the readers find DRVCONFIG there.
// The diagnostics come sorted by file (setup.ini, the class files, the
// family folders) and line.
std::vector<Diagnostic> CheckPackage(const sys::Platform& platform, IPackageFolder& package);

// "FILE:LINE: error: text" or "FILE:LINE: warning: text".
std::string FormatDiagnostic(const Diagnostic& diagnostic);
bool HasErrors(const std::vector<Diagnostic>& diagnostics);

// The entry of that name, compared without regard to case as Windows
// compares file names, or nullptr.
const PackageEntry* FindNoCase(const std::vector<PackageEntry>& entries, std::string_view name);
