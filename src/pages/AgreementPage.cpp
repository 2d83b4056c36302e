#include "pages/AgreementPage.h"

#include "resource.h"

AgreementPage::AgreementPage() : DialogBase(IDD_AGREEMENT_PAGE) {}

BOOL AgreementPage::OnInitDialog() {
    DialogBase::OnInitDialog();  // streams the agreement into its control
    CheckRadioButton(m_hwnd, IDC_ACCEPT, IDC_REFUSE, IDC_REFUSE);
    return TRUE;
}

bool AgreementPage::OnCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && (id == IDC_ACCEPT || id == IDC_REFUSE)) {
        EnableNext(id == IDC_ACCEPT);
        return true;
    }
    return DialogBase::OnCommand(id, code, control);
}

void AgreementPage::EnableNext(bool enable) {
    // The page lives inside the wizard frame, whose button 1 is Next.
    HWND frame = GetParent(m_hwnd);
    if (frame) EnableWindow(GetDlgItem(frame, IDOK), enable ? TRUE : FALSE);
}
