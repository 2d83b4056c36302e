// Where the configuration files are: in DRVCONFIG beside the program file,
// whatever the current directory is.
#pragma once

#include <string>

#include "config/InstallTypes.h"
#include "sys/Platform.h"

// The program directory: the program file's full path up to and including
// its last backslash; empty when the path has none or cannot be read.  The
// path is read whole, however long it is.
std::string ProgramDirectory(sys::IFiles& files);

// The program directory followed by a relative name such as
// "DRVCONFIG\\setup.ini".
std::string ConfigPath(sys::IFiles& files, const char* relativeName);

extern const char kMainConfigName[];  // "DRVCONFIG\\setup.ini"

// The class file of a printer class as the configuration reader names it
// ("DRVCONFIG\\setup_receipt.ini", ...), or nullptr outside the four classes.
const char* ClassConfigName(PrinterClass printerClass);

// The same files as the wizard pages and the installation spell them
// ("DRVCONFIG\\setup_Ticket.ini", ...): they differ only in letter case.
const char* ClassConfigNameMixedCase(PrinterClass printerClass);
