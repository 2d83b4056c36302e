// The first page: the software agreement and the accept / refuse choice,
// which enables or disables the frame's Next button.
#pragma once

#include "dialog/DialogBase.h"

class AgreementPage : public DialogBase {
public:
    AgreementPage();

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    // The frame's Next button (IDOK of the parent window).
    void EnableNext(bool enable);
};
