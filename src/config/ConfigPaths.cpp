#include "config/ConfigPaths.h"

#include <vector>

const char kMainConfigName[] = "DRVCONFIG\\setup.ini";

namespace {
const char* const kClassNames[] = {"DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_ticket.ini",
                                   "DRVCONFIG\\setup_lable.ini", "DRVCONFIG\\setup_embedded.ini"};
const char* const kClassNamesMixed[] = {"DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_Ticket.ini",
                                        "DRVCONFIG\\setup_Lable.ini", "DRVCONFIG\\setup_Embedded.ini"};

int ClassIndex(PrinterClass printerClass) {
    int i = static_cast<int>(printerClass);
    return i >= 0 && i <= 3 ? i : -1;
}
}  // namespace

std::string ProgramDirectory(sys::IFiles& files) {
    // Start with the classic MAX_PATH and grow until the whole path fits.  A
    // result that fills the buffer may be cut (systems differ in whether they
    // count the terminator then), so it is read again with a larger one.
    for (std::uint32_t size = 260; size <= 65536; size *= 2) {
        std::vector<char> buffer(size, '\0');
        std::uint32_t error = 0;
        std::uint32_t n = files.ModuleFileName(buffer.data(), size, &error);
        if (n == 0) return std::string();
        if (n < size - 1) {
            std::string path(buffer.data(), n);
            std::size_t slash = path.rfind('\\');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
    }
    return std::string();
}

std::string ConfigPath(sys::IFiles& files, const char* relativeName) {
    return ProgramDirectory(files) + relativeName;
}

const char* ClassConfigName(PrinterClass printerClass) {
    int i = ClassIndex(printerClass);
    return i < 0 ? nullptr : kClassNames[i];
}

const char* ClassConfigNameMixedCase(PrinterClass printerClass) {
    int i = ClassIndex(printerClass);
    return i < 0 ? nullptr : kClassNamesMixed[i];
}
