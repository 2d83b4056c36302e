#include "install/StepController.h"

#include "config/PortSection.h"
#include "resource.h"

StepActions StepController::Switch(int current, int index, const PageValues& pages) {
    StepActions a;
    // Back from the mode page to the printer page: a new model may follow,
    // and it brings its own baud rate.
    if (current == kModePage && index < kModePage) m_reloadBaudRate = true;
    if (current == kAgreementPage) {
        a.setNextEnabled = true;
        a.nextEnabled = pages.hasModels != 0;
    }
    if (index <= current) return a;

    if (current == kPrinterPage) {
        m_classIniPath = ClassConfigPath(m_platform.files, static_cast<PrinterClass>(pages.printerClass));
        m_portSection = PortSectionName(pages.model);
        a.adjustMode = true;
        a.advancedAllowed = ReadPortSectionInt(m_platform.profile, m_classIniPath, m_portSection, "AdvancedSetup") != 0;
    } else if (current == kOsPage) {
        const bool server2003 =
            ReadPortSectionInt(m_platform.profile, m_classIniPath, m_portSection, "System2003Supported") != 0;
        if (m_reloadBaudRate) {
            a.setBaudRate = true;
            a.baudRate = ReadPortSectionInt(m_platform.profile, m_classIniPath, m_portSection, "BaudRate");
            a.baudIndex = BaudListIndex(a.baudRate);
            m_reloadBaudRate = false;
        }
        if (static_cast<TargetSystem>(pages.system) == TargetSystem::WinServer2003 && !server2003) {
            m_platform.messages.ShowMessage(IDS_NO_SERVER_2003, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Warning);
            a.stay = true;
        }
    }
    return a;
}

InstallChoices FinishChoices(const PageValues& pages) {
    InstallChoices c;
    c.installMode = static_cast<InstallMode>(pages.mode);
    c.targetSystem = static_cast<TargetSystem>(pages.system);
    c.printerClass = static_cast<PrinterClass>(pages.printerClass);
    c.modelName = pages.model;
    c.setAsDefault = pages.setDefault;
    c.portName = pages.port;
    c.rasterBitmap = pages.rasterBitmap;
    c.baudRate = pages.baudRate;
    c.dataBits = pages.dataBits;
    c.stopBits = pages.stopBits;
    c.parity = pages.parity;
    c.flowControl = pages.flowControl;
    return c;
}
