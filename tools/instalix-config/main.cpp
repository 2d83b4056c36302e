// instalix-config: for package authors.  Prints the device list and, for
// each model, Windows family and driver variant, every record the installer
// would build from the package's DRVCONFIG files.
//
//   instalix-config PACKAGE_FOLDER [MODEL [FAMILY [VARIANT]]]
//
// FAMILY is 98, NT, 2K, XP or 2003 (or win98, nt40, win2k, winxp, win2003);
// VARIANT is STD or GDI.
#include <cstdio>
#include <cstring>
#include <string>

#include "ConfigDump.h"
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
    std::fprintf(stderr, "usage: instalix-config PACKAGE_FOLDER [MODEL [98|NT|2K|XP|2003 [STD|GDI]]]\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) return Usage();
    DumpRequest request;
    if (argc > 2 && std::strcmp(argv[2], "*") != 0) request.model = argv[2];
    if (argc > 3) {
        request.family = ParseFamily(argv[3]);
        if (!request.family) return Usage();
    }
    if (argc > 4) {
        request.variant = ParseVariant(argv[4]);
        if (!request.variant) return Usage();
    }
    std::string folder = argv[1];
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
    int rc = DumpConfiguration(platform, request, stdout);
    if (rc == 2) std::fprintf(stderr, "instalix-config: model '%s' is not in the device list\n", request.model->c_str());
    return rc;
}
