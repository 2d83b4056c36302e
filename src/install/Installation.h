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

// "finished", "closed" or "stayed".
const char* EndingName(InstallEnding ending);

// Runs the installation for `choices`, completing its derived fields
// (portKind, replaceFlags, usbPortName, and modelName as the final printer
// name).  `endWizard` is called on every ending but Stayed.
//
// The platform's log gets a note with the choices, then the name of each
// step as it begins, and a note with the ending.  The steps, in their
// order; those in brackets only where they apply:
//   "check model", ["check server 2003"] (Server 2003), "port kind",
//   "read configuration", ["usb identity", "usb port names"] (USB),
//   ["wait 98"] (98/Me), "port monitors", "print processor",
//   ["replace on nt" | "replace on 98"] (an outdated component),
//   ["enumerate ports"] (USB), "check driver files", "copy driver files",
//   "stage universal driver", ["colour library"] (98/Me, two-colour models),
//   ["ddk data file"] (DDK-style driver), ["language monitor"] (one
//   configured), "add driver", ["usb port record"] (USB), "add printer",
//   ["default printer"] (asked for), ["serial settings"] (serial),
//   "end wizard", then "success message" (NT family) or "restart" (98/Me:
//   the restart question).
InstallEnding RunInstallation(const sys::Platform& platform, InstallChoices& choices,
                              const std::function<void()>& endWizard);
