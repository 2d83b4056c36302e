// The About box: the program's icon, name and version.
#pragma once

#include "app/DialogBase.h"
#include "resource.h"

class AboutDialog : public DialogBase {
public:
    AboutDialog() : DialogBase(IDD_ABOUT) {}
};
