// The installation itself: from the user's choices to an installed printer,
// in one pass, with every check, message and wait.
#pragma once

#include <functional>

#include "install/InstallChoices.h"
#include "sys/Platform.h"

enum class InstallEnding {
    Stayed,    // a message was shown and the wizard stays open on the port page
    Closed,    // the wizard was ended after a failure
    Finished,  // the printer was installed and the success or restart message shown
};

// Runs the installation for `choices`, completing its derived fields
// (portKind, replaceFlags, usbPortName, and modelName as the final printer
// name).  `endWizard` is called on every ending but Stayed.
InstallEnding RunInstallation(const sys::Platform& platform, InstallChoices& choices,
                              const std::function<void()>& endWizard);
