// instalix-config: for package authors.  Prints the device list and, for
// each model, Windows family and driver variant, every record the installer
// would build from the package's DRVCONFIG files; or checks the package.
//
//   instalix-config PACKAGE_FOLDER [MODEL [FAMILY [VARIANT]]]
//   instalix-config --check PACKAGE_FOLDER
//
// FAMILY is 98, NT, 2K, XP or 2003 (or win98, nt40, win2k, winxp, win2003);
// VARIANT is STD or GDI.  --check prints every problem of the package as
// "FILE:LINE: error: text" or "FILE:LINE: warning: text" (FILE relative to
// the package folder) and exits with 1 when there is an error, else 0.
#include <cstdio>
#include <cstring>
#include <string>

#include "ConfigDump.h"
#include "PackageFolder.h"
#include "config/ConfigReader.h"
#include "sys/ProgramPathOverride.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "sys/win32/Win32Platform.h"
#else
#include "sys/sim/SimMachine.h"
#endif

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: instalix-config PACKAGE_FOLDER [MODEL [98|NT|2K|XP|2003 [STD|GDI]]]\n"
                 "       instalix-config --check PACKAGE_FOLDER\n");
    return 1;
}

int Check(const sys::Platform& platform, const std::string& folder) {
    DiskPackageFolder package(folder);
    std::vector<PackageEntry> root;
    if (!package.List("", &root)) {
        std::fprintf(stderr, "instalix-config: %s is not a folder\n", folder.c_str());
        return 1;
    }
    const std::vector<Diagnostic> diagnostics = CheckPackage(platform, package);
    for (const Diagnostic& d : diagnostics) {
        const std::string line = FormatDiagnostic(d) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return HasErrors(diagnostics) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    DumpRequest request;
    std::string folder;
    if (check) {
        if (argc != 3) return Usage();
        folder = argv[2];
    } else {
        if (argc < 2 || argc > 5) return Usage();
        folder = argv[1];
        if (argc > 2 && std::strcmp(argv[2], "*") != 0) request.model = argv[2];
        if (argc > 3) {
            request.family = ParseFamily(argv[3]);
            if (!request.family) return Usage();
        }
        if (argc > 4) {
            request.variant = ParseVariant(argv[4]);
            if (!request.variant) return Usage();
        }
    }
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();

#ifdef _WIN32
    // Byte for byte: no CR added to line ends.
    _setmode(_fileno(stdout), _O_BINARY);
    sys::win32::Win32Platform real;
    sys::Platform base = real.platform();
    sys::ProgramPathOverride files(base.files, folder + "\\instalix.exe");
#else
    // The package folder appears as drive D: of the simulated machine.
    sys::sim::SimMachine machine;
    machine.fs.Mount("D:\\", folder);
    sys::Platform base = machine.platform();
    sys::ProgramPathOverride files(base.files, "D:\\instalix.exe");
#endif
    sys::Platform platform = base.WithFiles(files);
    if (check) return Check(platform, folder);
    // Without its main file the readers would print a package of zeros.
    if (!sys::IsFile(platform.files, ConfigReader(platform).MainFile())) {
        std::fprintf(stderr, "instalix-config: %s is not a driver package: it holds no DRVCONFIG\\setup.ini\n",
                     folder.c_str());
        return 1;
    }
    int rc = DumpConfiguration(platform, request, stdout);
    if (rc == 2) std::fprintf(stderr, "instalix-config: model '%s' is not in the device list\n", request.model->c_str());
    return rc;
}
