// The target-system page: the Windows family the drivers are installed
// for, derived from the running system; the user cannot change it.
#pragma once

#include "dialog/DialogBase.h"
#include "sys/Platform.h"

class OsPage : public DialogBase {
public:
    explicit OsPage(const sys::Platform& platform);

    // TargetSystem: 0 98/Me, 1 NT, 2 2000, 3 XP, 4 Server 2003.
    int m_system = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    sys::Platform m_platform;
};
