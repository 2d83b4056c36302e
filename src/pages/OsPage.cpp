#include "pages/OsPage.h"

#include "install/OsClassification.h"
#include "resource.h"

OsPage::OsPage(const sys::Platform& platform) : DialogBase(IDD_OS_PAGE), m_platform(platform) {}

BOOL OsPage::OnInitDialog() {
    DialogBase::OnInitDialog();
    sys::OsVersion version;
    std::uint32_t error = 0;
    if (!m_platform.system.Version(&version, &error)) version = sys::OsVersion{};
    m_system = TargetSystem::Win98Me;
    const OsClassification os = ClassifyOs(version);
    if (os.markedButton) CheckRadioButton(m_hwnd, IDC_OS_WIN98, IDC_OS_WIN2003, os.markedButton);
    if (os.unsupported)
        m_platform.messages.ShowMessage(IDS_SYSTEM_NOT_SUPPORTED, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Warning);
    m_system = os.system;
    static const int buttons[] = {IDC_OS_WIN98, IDC_OS_WINNT, IDC_OS_WIN2000, IDC_OS_WINXP, IDC_OS_WIN2003};
    const int enabled = OsButtonOf(os.system);
    for (int id : buttons) EnableItem(id, id == enabled);
    return TRUE;
}
