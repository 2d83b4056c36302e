// The decisions behind the wizard's Next and page switch: what leaving the
// printer page and the target-system page prepares, and the record the
// installation gets at Finish.  The frame applies them to its pages.
#pragma once

#include <string>
#include <vector>

#include "install/InstallChoices.h"
#include "ports/SerialSettings.h"
#include "sys/Platform.h"

// Page indexes in the order start-up adds the pages.
enum WizardPageIndex { kAgreementPage = 0, kPrinterPage = 1, kModePage = 2, kOsPage = 3, kPortPage = 4 };

// What the pages hold, as the step controller reads their members.
struct PageValues {
    // Printer page.
    int printerClass = 0;
    std::string model;
    int setDefault = 0;
    int hasModels = 0;
    // Mode page.
    int mode = static_cast<int>(InstallMode::Typical);
    // Target-system page.
    int system = 0;
    // Port page.
    std::string port;
    int rasterBitmap = 0;
    int baudRate = 0;
    int dataBits = 8;
    double stopBits = 1.0;
    char parity = kUnpickedParity;
    char flowControl = kUnpickedFlowControl;
};

// What the frame does to its pages on one switch from `current` to `index`
// (after the current page's data exchange has succeeded).
struct StepActions {
    // Leaving the agreement page: set the Next button's enabled state.
    bool setNextEnabled = false;
    bool nextEnabled = false;
    // Leaving the printer page forward: advanced mode allowed (enable
    // IDC_MODE_ADVANCED) or not (force the mode page to typical, with
    // IDC_MODE_ADVANCED disabled).
    bool adjustMode = false;
    bool advancedAllowed = false;
    // Leaving the target-system page forward with a baud rate to reload:
    // the port page's m_baudRate and the baud list's entry to select.
    bool setBaudRate = false;
    int baudRate = 0;
    int baudIndex = -1;
    // IDS_NO_SERVER_2003 was shown: the current page stays and is shown again.
    bool stay = false;
};

class StepController {
public:
    explicit StepController(const sys::Platform& platform) : m_platform(platform) {}

    // The step-specific part of a switch from page `current` to `index`.
    // Shows IDS_NO_SERVER_2003 itself through the platform's message boxes.
    StepActions Switch(int current, int index, const PageValues& pages);

    // Set when the printer page is left forward.
    const std::string& ClassIniPath() const { return m_classIniPath; }
    const std::string& PortSection() const { return m_portSection; }
    bool ReloadBaudRate() const { return m_reloadBaudRate; }

private:
    sys::Platform m_platform;
    std::string m_classIniPath;
    std::string m_portSection;
    bool m_reloadBaudRate = true;
};

// The install choices at Finish, from the pages' members.
InstallChoices FinishChoices(const PageValues& pages);
