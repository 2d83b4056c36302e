// The target-system page: the Windows family the drivers are installed
// for, derived from the running system; the user cannot change it.
#pragma once

#include "config/InstallTypes.h"
#include "dialog/DialogBase.h"
#include "dialog/EnumValue.h"
#include "sys/Platform.h"

class OsPage : public DialogBase {
public:
    explicit OsPage(const sys::Platform& platform);

    // The family of the running system.
    EnumValue<TargetSystem> m_system = TargetSystem::Win98Me;

protected:
    BOOL OnInitDialog() override;

private:
    sys::Platform m_platform;
};
