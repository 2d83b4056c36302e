// Which Windows family the drivers are installed for, derived from the
// running system's version as the target-system page shows it.
#pragma once

#include "config/InstallTypes.h"
#include "sys/Platform.h"

struct OsClassification {
    // The family; Win98Me also for every system the table does not know.
    TargetSystem system = TargetSystem::Win98Me;
    // The radio button to mark (IDC_OS_*), or 0 when none is marked.
    int markedButton = 0;
    // The platform id is neither 9x nor NT: IDS_SYSTEM_NOT_SUPPORTED is shown.
    bool unsupported = false;
};

OsClassification ClassifyOs(const sys::OsVersion& version);

// The radio button of a family (the only one the page enables).
int OsButtonOf(TargetSystem system);
