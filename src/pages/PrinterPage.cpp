#include "pages/PrinterPage.h"

#include <cstring>

#include "install/PrinterLists.h"
#include "resource.h"

const int PrinterPage::kRadios[4] = {IDC_CLASS_RECEIPT, IDC_CLASS_TICKET, IDC_CLASS_LABEL, IDC_CLASS_EMBEDDED};
const int PrinterPage::kLists[4] = {IDC_LIST_RECEIPT, IDC_LIST_TICKET, IDC_LIST_LABEL, IDC_LIST_EMBEDDED};

PrinterPage::PrinterPage(const sys::Platform& platform) : DialogBase(IDD_PRINTER_PAGE), m_config(platform) {
    std::memset(m_model, 0, sizeof m_model);
}

bool PrinterPage::DoDataExchange(bool save) {
    DdxCheck(IDC_SET_DEFAULT, m_setDefault, save);
    return true;
}

BOOL PrinterPage::OnInitDialog() {
    DialogBase::OnInitDialog();
    const PrinterLists lists = ReadPrinterLists(m_config);
    m_hasModels = 1;
    for (int k = 0; k < 4; ++k) {
        for (const std::string& model : lists.models[k])
            SendDlgItemMessageA(m_hwnd, kLists[k], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(model.c_str()));
        SendDlgItemMessageA(m_hwnd, kLists[k], CB_SETCURSEL, 0, 0);
        EnableItem(kLists[k], false);
    }
    int empty = 0;
    for (int k = 0; k < 4; ++k) {
        if (SendDlgItemMessageA(m_hwnd, kLists[k], CB_GETCOUNT, 0, 0) == 0) {
            EnableItem(kRadios[k], false);
            EnableItem(kLists[k], false);
            ++empty;
        }
    }
    if (empty == 4) m_hasModels = 0;

    std::string name;
    const int c = m_config.ReadDefaultDevice(name);
    if (c >= 0 && c <= 3) {
        CheckRadioButton(m_hwnd, IDC_CLASS_RECEIPT, IDC_CLASS_EMBEDDED, kRadios[c]);
        // The combo box's own search: from the entry after 0, wrapping
        // round, by prefix and without regard to case.
        LRESULT found = SendDlgItemMessageA(m_hwnd, kLists[c], CB_FINDSTRING, 0,
                                            reinterpret_cast<LPARAM>(name.c_str()));
        SendDlgItemMessageA(m_hwnd, kLists[c], CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        TakeModel(kLists[c]);
        EnableItem(kLists[c], true);
    }
    m_class = c;
    return TRUE;
}

bool PrinterPage::OnCommand(int id, int code, HWND control) {
    for (int k = 0; k < 4; ++k) {
        if (id == kRadios[k] && code == BN_CLICKED) {
            OnClass(k);
            return true;
        }
        if (id == kLists[k] && code == CBN_SELCHANGE) {
            OnModel(k);
            return true;
        }
    }
    return DialogBase::OnCommand(id, code, control);
}

void PrinterPage::OnClass(int k) {
    for (int list : kLists) EnableItem(list, false);
    TakeModel(kLists[k]);
    EnableItem(kLists[k], true);
    m_class = k;
}

void PrinterPage::OnModel(int k) { TakeModel(kLists[k]); }

void PrinterPage::TakeModel(int list) {
    bool selected = false;
    const std::string text = ComboSelectedText(list, &selected);
    std::memset(m_model, 0, sizeof m_model);
    if (selected) std::strncpy(m_model, text.c_str(), sizeof m_model - 1);
}
