// The port page: the port for the new printer, the serial-line settings,
// raster-bitmap printing and the USB notice.
#pragma once

#include <string>

#include "config/InstallTypes.h"
#include "dialog/DialogBase.h"
#include "dialog/EnumValue.h"
#include "dialog/LinkLabel.h"
#include "ports/PortLists.h"
#include "ports/SerialSettings.h"
#include "sys/Platform.h"

class PortPage : public DialogBase {
public:
    explicit PortPage(const sys::Platform& platform);
    ~PortPage() override;

    // The selected port's text, held whole (a long model's USB port name
    // included).
    std::string m_port;
    int m_baudRate = 0;
    int m_dataBits = 8;
    double m_stopBits = 1.0;
    // First letter of the parity entry, and the flow-control letter.
    char m_parity = kUnpickedParity;
    char m_flowControl = kUnpickedFlowControl;
    // The mode of this visit, set before the list is built.
    EnumValue<InstallMode> m_mode = InstallMode::Typical;
    // Check box IDC_RASTER_BITMAP: raster-bitmap printing.
    int m_rasterBitmap = 0;
    LinkLabel m_usbNotice;
    HWND m_toolTip = nullptr;

    // Fill the port list for a model, family and class (the typical list
    // offers one USB port, the advanced four); nothing changes when the
    // model and mode are those of the last build.
    void BuildTypicalPortList(const std::string& model, TargetSystem target, PrinterClass printerClass);
    void BuildAdvancedPortList(const std::string& model, TargetSystem target, PrinterClass printerClass);
    // The baud rate taken from the configuration and its list entry.
    void SetBaudRate(int baudRate, int listIndex);

    const PortListBuilder& Builder() const { return m_builder; }

    // The handlers, reachable for the tests.
    void OnPortChange();
    void OnBaudChange();
    void OnDataBitsChange();
    void OnStopBitsChange();
    void OnParityChange();
    void OnFlowChange();

    // Hands one message to the tooltip (what the message filter does for
    // every message of the page).
    void RelayToToolTip(MSG* message);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool DoDataExchange(bool save) override;
    void OnDestroy() override;

private:
    void Build(const std::string& model, TargetSystem target, PrinterClass printerClass, InstallMode mode);
    void ApplyControls(const PortControls& controls);
    void CreateToolTip();
    void RemoveMessageFilter();
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);

    sys::Platform m_platform;
    PortListBuilder m_builder;
    std::string m_toolTipText;
    // The message filter that relays the page's messages to its tooltip: the
    // wizard runs in the system's modal dialog loop, which calls the filter
    // for every message it takes.  The filter procedure gets no page, so the
    // page that set it is kept where the procedure finds it.
    HHOOK m_filter = nullptr;
    static PortPage* s_filterPage;
};
