// The port page's decisions: which ports it offers and selects for a model,
// family and install mode, and which of its controls a chosen port enables.
#pragma once

#include <string>
#include <vector>

#include "config/InstallTypes.h"
#include "sys/Platform.h"

// The controls a port text sets (the port page's OnPortChange, and the last
// steps of the list builders).
struct PortControls {
    bool serialEnabled = false;     // the five serial lists, IDC_BAUD_LIST to IDC_FLOW_LIST
    bool rasterEnabled = false;     // check box IDC_RASTER_BITMAP
    bool usbNoticeShown = false;    // static IDC_USB_NOTICE
    int rasterBitmap = 0;           // m_rasterBitmap
};

// OnPortChange: "COM" anywhere means a serial port (KRCOM too, and before
// "USB"); otherwise raster printing is offered and "USB" shows the notice.
PortControls PortControlsOf(const std::string& port);

// The flow-control letter of a flow list entry (kFlowXonXoff, kFlowHardware,
// kFlowNone), or `current` for any other text.
char FlowControlOf(const std::string& text, char current);

// The result of one builder call.
struct PortListResult {
    // false: the model and mode are those of the last build; nothing changes.
    bool rebuilt = false;
    // The entries in the order the sorted combo box keeps them.
    std::vector<std::string> entries;
    // The selected entry, or -1.
    int selection = -1;
    // m_port, the controls, and whether check box IDC_RASTER_BITMAP is shown.
    std::string port;
    PortControls controls;
    bool rasterShown = false;
};

// The two builders share their state: the model and mode of the last build.
class PortListBuilder {
public:
    PortListResult Build(const sys::Platform& platform, const std::string& model, TargetSystem target,
                         PrinterClass printerClass, InstallMode mode);

    std::string lastModel = "PRINTER";
    InstallMode listMode = InstallMode::Typical;
};

// The order of a sorted combo box: without regard to letter case.
bool PortEntryLess(const std::string& a, const std::string& b);
