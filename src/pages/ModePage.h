// The install-mode page: typical or advanced, with a description of each.
#pragma once

#include "config/InstallTypes.h"
#include "dialog/DialogBase.h"
#include "dialog/EnumValue.h"

class ModePage : public DialogBase {
public:
    ModePage();

    // The chosen mode.
    EnumValue<InstallMode> m_mode = InstallMode::Typical;

    // The printer page's model decides whether the advanced mode is offered:
    // allowed, the user's choice stays; not allowed, the page turns typical
    // with the advanced button disabled.
    void AllowAdvanced(bool allowed);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void ShowTypical();
    void ShowAdvanced();
};
