// A model's "<model>.PORT" section in its class file: the keys the wizard
// reads when it prepares the install-mode, target-system and port pages.
#pragma once

#include <cstdint>
#include <string>

#include "config/InstallTypes.h"
#include "sys/Platform.h"

// The program directory followed by the class file as the wizard spells it
// ("DRVCONFIG\\setup_Ticket.ini", ...); the bare directory for a value
// outside the four classes.
std::string ClassConfigPath(sys::IFiles& files, PrinterClass printerClass);

// "<model>.PORT", the model whole however long it is.
std::string PortSectionName(const std::string& model);

// The integer value of `key` (default "0", up to 199 characters).  A path
// that names no file (empty, or ending in a backslash) reads "0".
std::int32_t ReadPortSectionInt(sys::IProfile& profile, const std::string& classIniPath,
                                const std::string& section, const char* key);
