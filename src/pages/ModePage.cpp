#include "pages/ModePage.h"

#include "resource.h"

ModePage::ModePage() : DialogBase(IDD_MODE_PAGE) {}

BOOL ModePage::OnInitDialog() {
    DialogBase::OnInitDialog();
    m_mode = InstallMode::Typical;
    CheckRadioButton(m_hwnd, IDC_MODE_TYPICAL, IDC_MODE_ADVANCED, IDC_MODE_TYPICAL);
    SetDlgItemTextA(m_hwnd, IDC_MODE_LINE1, LoadText(IDS_TYPICAL_LINE).c_str());
    return TRUE;
}

bool ModePage::OnCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && id == IDC_MODE_TYPICAL) {
        ShowTypical();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_MODE_ADVANCED) {
        ShowAdvanced();
        return true;
    }
    return DialogBase::OnCommand(id, code, control);
}

void ModePage::ShowTypical() {
    SetDlgItemTextA(m_hwnd, IDC_MODE_LINE1, LoadText(IDS_TYPICAL_LINE).c_str());
    ShowItem(IDC_MODE_LINE2, SW_HIDE);
    ShowItem(IDC_MODE_LINE3, SW_HIDE);
    m_mode = InstallMode::Typical;
}

void ModePage::ShowAdvanced() {
    SetDlgItemTextA(m_hwnd, IDC_MODE_LINE1, LoadText(IDS_ADVANCED_LINE1).c_str());
    SetDlgItemTextA(m_hwnd, IDC_MODE_LINE2, LoadText(IDS_ADVANCED_LINE2).c_str());
    ShowItem(IDC_MODE_LINE2, SW_SHOWNORMAL);
    ShowItem(IDC_MODE_LINE3, SW_HIDE);
    m_mode = InstallMode::Advanced;
}

void ModePage::AllowAdvanced(bool allowed) {
    if (!m_hwnd) return;
    EnableItem(IDC_MODE_ADVANCED, allowed);
    if (allowed) return;
    CheckRadioButton(m_hwnd, IDC_MODE_TYPICAL, IDC_MODE_ADVANCED, IDC_MODE_TYPICAL);
    ShowTypical();
}
