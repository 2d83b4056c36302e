// The About box: the program's icon, name and version.
#pragma once

#include "dialog/DialogBase.h"
#include "resource.h"

class AboutDialog : public DialogBase {
public:
    AboutDialog() : DialogBase(IDD_ABOUT) {}
};
