#include "ports/PortLists.h"

#include <algorithm>
#include <cmath>

#include "config/PortSection.h"
#include "ports/SerialSettings.h"
#include "ports/UsbIdentity.h"

namespace {

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// ---- The sorted combo box's order ---------------------------------------

// ASCII letters folded to lower case, every other byte as it is.
unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// ---- The builders' steps -------------------------------------------------

// The first entry, in list order, that contains `part` (and `also`, when
// given), or -1.
int FirstWith(const std::vector<std::string>& entries, const char* part, const char* also = nullptr) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (Contains(entries[i], part) && (!also || Contains(entries[i], also))) return static_cast<int>(i);
    return -1;
}

// The controls the selected port sets when the list is built: USB first,
// then parallel, else serial.  A USB port is only ever selected by the USB
// search, which disables the serial lists; they stay disabled.
PortControls BuiltControlsOf(const std::string& port) {
    PortControls c;
    if (Contains(port, "USB")) {
        c.usbNoticeShown = true;
        c.rasterEnabled = true;
        c.rasterBitmap = 1;
    } else if (Contains(port, "LPT")) {
        c.rasterEnabled = true;
        c.rasterBitmap = 1;
    } else {
        c.serialEnabled = true;
    }
    return c;
}

}  // namespace

bool PortEntryLess(const std::string& a, const std::string& b) {
    // The control sorts with the system's locale-aware comparison.  For the
    // texts this list holds (the fixed port names, and USB entries that share
    // "USB_<model>_" and differ in their last digit) a byte comparison that
    // ignores ASCII letter case gives the same order; a Wine test holds the
    // two side by side.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return FoldAscii(static_cast<unsigned char>(x)) < FoldAscii(static_cast<unsigned char>(y));
    });
}

PortControls PortControlsOf(const std::string& port) {
    PortControls c;
    if (Contains(port, "COM")) {
        c.serialEnabled = true;
        return c;
    }
    c.rasterEnabled = true;
    c.rasterBitmap = 1;
    c.usbNoticeShown = Contains(port, "USB");
    return c;
}

char FlowControlOf(const std::string& text, char current) {
    if (text == "Xon/Xoff") return kFlowXonXoff;
    if (text == "Hardware") return kFlowHardware;
    if (text == "None") return kFlowNone;
    return current;
}

PortListResult PortListBuilder::Build(const sys::Platform& platform, const std::string& model, TargetSystem target,
                                      PrinterClass printerClass, InstallMode mode) {
    PortListResult r;
    // Once per model and mode in a row: going back and forth keeps the list,
    // its selection and the user's serial settings, and probes no device.
    if (model == lastModel && mode == listMode) return r;
    r.rebuilt = true;
    listMode = mode;
    lastModel = model;

    std::vector<std::string>& e = r.entries;
    if (target == TargetSystem::Win98Me) {
        e = {"COM1:", "COM2:", "LPT1:"};
    } else {
        for (int i = 1; i <= 8; ++i) e.push_back("KRCOM" + std::to_string(i) + ":");
        for (int i = 1; i <= 3; ++i) e.push_back("LPT" + std::to_string(i) + ":");
    }

    const std::string classFile = ClassConfigPath(platform.files, printerClass);
    const std::string section = PortSectionName(model);
    const bool usbSupported = ReadPortSectionInt(platform.profile, classFile, section, "USBSUPPORTED") != 0;
    const bool lptDefault = ReadPortSectionInt(platform.profile, classFile, section, "LPTDEFAULT") != 0;
    // Probed on every rebuild, also for a model without USB.
    const int identity = ReadUsbIdentity(platform);

    const bool advanced = mode == InstallMode::Advanced;
    if (usbSupported && target != TargetSystem::WinNT) {
        for (int i = 1; i <= (advanced ? 4 : 1); ++i) e.push_back("USB_" + model + "_" + std::to_string(i));
    }
    std::stable_sort(e.begin(), e.end(), PortEntryLess);

    // A search that finds nothing has examined every entry: it ends on the
    // last one.  That entry is selected then, so that the list's selection,
    // m_port and the controls set from m_port all show the same port.  (This
    // settles the case of a found device without a matching USB entry: on NT 4,
    // where no USB entry is offered, and in the advanced list for R = -2.)
    const int last = static_cast<int>(e.size()) - 1;
    int selection = -1;
    if (usbSupported && identity != kNoUsbIdentity) {
        // The port of the identity, in floating point as fmod keeps the sign:
        // 0 to 7 give 1 to 8, 13 gives 6, -2 (two printers) gives -1.
        const int n = static_cast<int>(std::fmod(static_cast<double>(identity), 8.0) + 1.0);
        if (!advanced) {
            selection = FirstWith(e, "USB");
        } else {
            // Beyond port 4 the first entry stands unless the search finds one.
            if (n > 4) selection = 0;
            // "Contains": a model name that itself holds "_2" makes its port 1
            // the match for port 2, as the first entry holding both texts.
            const std::string suffix = "_" + std::to_string(n);
            const int found = FirstWith(e, "USB", suffix.c_str());
            if (found >= 0) selection = found;
        }
        if (selection < 0) selection = last;
        // The serial lists are disabled here; the text decides below, so a
        // serial entry (KRCOM1: for a port beyond 4) enables them again.
    } else {
        // No USB, or no device: the configured default kind of port.
        selection = lptDefault ? FirstWith(e, "LPT") : 0;
        if (selection < 0) selection = last;
    }

    r.selection = selection;
    r.port = e[static_cast<std::size_t>(selection)];
    r.controls = BuiltControlsOf(r.port);
    r.rasterShown = advanced;
    return r;
}
