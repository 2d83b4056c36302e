// The installation itself: from the user's choices to an installed printer,
// in one pass, with every check, message and wait.
#pragma once

#include <functional>
#include <string>

#include "install/InstallChoices.h"
#include "sys/Platform.h"

enum class InstallEnding {
    Stayed,    // a message was shown and the wizard stays open on the port page
    Closed,    // the wizard was ended after a failure
    Finished,  // the printer was installed and the success or restart message shown
};

// The model whose USB ports the installation names after itself: a port
// whose name holds it becomes "USB_MTR-Q5_" and the port's last character.
extern const char kFourPortModel[];  // "MTR-Q5"

// Whether the installation copies the two-colour library for a model on
// Windows 98/Me (models whose name holds "MTR-C30" or "MTR-C40").
bool NeedsColourLibrary(const std::string& model);
extern const char kColourLibrary[];  // "DMCOLOR.DLL"

// Runs the installation for `choices`, completing its derived fields
// (portKind, replaceFlags, usbPortName, and modelName as the final printer
// name).  `endWizard` is called on every ending but Stayed.
InstallEnding RunInstallation(const sys::Platform& platform, InstallChoices& choices,
                              const std::function<void()>& endWizard);
