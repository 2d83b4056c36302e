#include "dialog/DialogBase.h"

#include <richedit.h>

#include <cstring>
#include <vector>

#include "dialog/LinkLabel.h"
#include "resource.h"
#include "sys/Types.h"
#include "sys/win32/Resources.h"

const char DialogBase::kReflectProperty[] = "InstalixReflect";

namespace {

// Record kinds of the initialisation data.
constexpr WORD kAddComboString = 0x0403;
constexpr WORD kAddComboStringNew = CB_ADDSTRING;
constexpr WORD kAddListString = 0x0401;
constexpr WORD kAddListStringNew = LB_ADDSTRING;
constexpr WORD kRichTextDocument = 0x037A;

WORD Word(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Dword(const BYTE* p) { return Word(p) | (static_cast<DWORD>(Word(p + 2)) << 16); }

struct StreamSource {
    const BYTE* data;
    DWORD size;
    DWORD offset;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    StreamSource* s = reinterpret_cast<StreamSource*>(cookie);
    DWORD left = s->size - s->offset;
    DWORD n = wanted < 0 ? 0 : static_cast<DWORD>(wanted);
    if (n > left) n = left;
    std::memcpy(buffer, s->data + s->offset, n);
    s->offset += n;
    *got = static_cast<LONG>(n);
    return 0;
}

// A text record: its bytes up to the first NUL.
std::string RecordText(const BYTE* data, DWORD length) {
    return sys::TextBeforeNul(reinterpret_cast<const char*>(data), length);
}

}  // namespace

DialogBase::~DialogBase() {
    // The object outlives its window in the wizard; should it not, the
    // window must no longer reach it.
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrA(m_hwnd, DWLP_USER, 0);
        if (!m_modal) DestroyWindow(m_hwnd);
    }
}

INT_PTR DialogBase::RunModal(HWND owner) {
    m_modal = true;
    m_endResult = -1;
    // The template of the program's language, whichever the system would pick.
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), sys::win32::DialogTemplate(m_templateId), owner, Proc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND DialogBase::Create(HWND parent) {
    m_modal = false;
    m_endResult = -1;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), sys::win32::DialogTemplate(m_templateId), parent,
                                      Proc, reinterpret_cast<LPARAM>(this));
}

void DialogBase::End(INT_PTR result) {
    m_endResult = result;
    if (!m_hwnd) return;
    // A modeless dialog is hidden, not destroyed: its owner may still be
    // in one of its handlers, or show a message box over it.
    if (m_modal)
        EndDialog(m_hwnd, result);
    else
        ShowWindow(m_hwnd, SW_HIDE);
}

DialogBase* DialogBase::FromHandle(HWND hwnd) {
    return hwnd ? reinterpret_cast<DialogBase*>(GetWindowLongPtrA(hwnd, DWLP_USER)) : nullptr;
}

INT_PTR CALLBACK DialogBase::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogBase*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hwnd = hwnd;
    } else {
        self = FromHandle(hwnd);
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) get the default handling.
    if (!self) return FALSE;
    INT_PTR r = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return r;
}

INT_PTR DialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
        case WM_NOTIFY: {
            NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
            LRESULT result = 0;
            if (!OnNotify(static_cast<int>(wParam), header, result)) return FALSE;
            SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR: {
            HWND control = reinterpret_cast<HWND>(lParam);
            // A control of ours answers its own colour query; only controls
            // marked by their property are asked, never by message alone.
            if (control && GetPropA(control, kReflectProperty)) {
                LRESULT brush = SendMessageA(control, kReflectBase + message, wParam, lParam);
                if (brush) return static_cast<INT_PTR>(brush);
            }
            HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), control, message);
            return reinterpret_cast<INT_PTR>(brush);
        }
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_HELP:
            return OnHelp(reinterpret_cast<HELPINFO*>(lParam)) ? TRUE : FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default: {
            LRESULT result = 0;
            if (!OnMessage(message, wParam, lParam, result)) return FALSE;
            // Queries that answer with a value, not through DWLP_MSGRESULT.
            if (message == WM_QUERYDRAGICON) return static_cast<INT_PTR>(result);
            SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
}

BOOL DialogBase::OnInitDialog() {
    ApplyInitData(m_templateId);
    UpdateData(false);
    return TRUE;
}

bool DialogBase::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED && code != 0) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void DialogBase::OnOK() {
    if (m_modal && UpdateData(true)) End(IDOK);
}

void DialogBase::OnCancel() {
    if (m_modal) End(IDCANCEL);
}

bool DialogBase::OnNotify(int, NMHDR*, LRESULT&) { return false; }
HBRUSH DialogBase::OnCtlColor(HDC, HWND, UINT) { return nullptr; }
void DialogBase::OnTimer(UINT_PTR) {}
bool DialogBase::OnHelp(HELPINFO*) { return false; }
bool DialogBase::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool DialogBase::DoDataExchange(bool) { return true; }

void DialogBase::DdxCheck(int id, int& value, bool save) {
    if (save)
        value = static_cast<int>(IsDlgButtonChecked(m_hwnd, id));
    else
        CheckDlgButton(m_hwnd, id, static_cast<UINT>(value));
}

void DialogBase::DdxRadio(int firstId, int& value, bool save) {
    // The group runs from firstId to the next control with WS_GROUP.
    HWND first = Item(firstId);
    if (!first) return;
    int index = 0;
    if (save) value = -1;
    for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT), ++index) {
        if (h != first && (GetWindowLongA(h, GWL_STYLE) & WS_GROUP)) break;
        if (save) {
            if (SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void DialogBase::DdxComboIndex(int id, int& value, bool save) {
    if (save)
        value = static_cast<int>(SendDlgItemMessageA(m_hwnd, id, CB_GETCURSEL, 0, 0));
    else
        SendDlgItemMessageA(m_hwnd, id, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DialogBase::DdxControl(int id, LinkLabel& label) {
    if (!label.hwnd()) label.Attach(Item(id));
}

std::string WindowTextOf(HWND window) {
    if (!window) return std::string();
    int n = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 2, '\0');
    GetWindowTextA(window, buffer.data(), n + 1);
    return buffer.data();
}

std::string DialogBase::ComboSelectedText(int id, bool* selected) const {
    LRESULT index = SendDlgItemMessageA(m_hwnd, id, CB_GETCURSEL, 0, 0);
    LRESULT n = index == CB_ERR ? CB_ERR : SendDlgItemMessageA(m_hwnd, id, CB_GETLBTEXTLEN, index, 0);
    if (selected) *selected = n != CB_ERR;
    if (n == CB_ERR) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(n) + 2, '\0');
    if (SendDlgItemMessageA(m_hwnd, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data())) == CB_ERR) {
        if (selected) *selected = false;
        return std::string();
    }
    return buffer.data();
}

std::string DialogBase::LoadText(int id) { return sys::win32::LoadText(id); }

void DialogBase::ApplyInitData(unsigned templateId) {
    std::uint32_t size = 0;
    const BYTE* data = static_cast<const BYTE*>(
        sys::win32::ResourceData(MAKEINTRESOURCEA(RT_DLGINIT_DATA), static_cast<int>(templateId), &size));
    if (!data) return;
    // Records: control id, kind, byte length, bytes; a zero id ends them.
    DWORD at = 0;
    while (at + 2 <= size) {
        const WORD id = Word(data + at);
        if (id == 0 || at + 8 > size) break;
        const WORD kind = Word(data + at + 2);
        const DWORD length = Dword(data + at + 4);
        at += 8;
        if (length > size - at) break;  // a damaged record ends the data
        const BYTE* bytes = data + at;
        at += length;
        HWND control = Item(id);
        if (!control) continue;
        switch (kind) {
            case kAddComboString:
            case kAddComboStringNew:
                SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RecordText(bytes, length).c_str()));
                break;
            case kAddListString:
            case kAddListStringNew:
                SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RecordText(bytes, length).c_str()));
                break;
            case kRichTextDocument: {
                StreamSource source{bytes, length, 0};
                EDITSTREAM stream{};
                stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
                stream.pfnCallback = ReadStream;
                SendMessageA(control, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
                break;
            }
            default:
                break;
        }
    }
}
