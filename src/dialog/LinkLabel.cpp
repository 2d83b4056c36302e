#include "dialog/LinkLabel.h"

#include <cstring>

#include "dialog/DialogBase.h"
#include "sys/win32/SystemLibrary.h"

LinkLabel::LinkLabel()
    : m_textColor(GetSysColor(COLOR_WINDOWTEXT)),
      m_bkBrush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))),
      m_flashBrush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) {
    std::memset(&m_logFont, 0, sizeof m_logFont);
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof m_logFont, &m_logFont);
    m_font = CreateFontIndirectA(&m_logFont);
}

LinkLabel::~LinkLabel() {
    if (m_hwnd && IsWindow(m_hwnd)) {
        if (m_timerActive) KillTimer(m_hwnd, kFlashTimer);
        SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        RemovePropA(m_hwnd, DialogBase::kReflectProperty);
    }
    if (m_font) DeleteObject(m_font);
    if (m_bkBrush) DeleteObject(m_bkBrush);
    if (m_flashBrush) DeleteObject(m_flashBrush);
}

void LinkLabel::Attach(HWND hwnd) {
    if (m_hwnd || !hwnd) return;
    m_hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetPropA(hwnd, DialogBase::kReflectProperty, reinterpret_cast<HANDLE>(this));
    // ANSI functions only: a Unicode window procedure would make the control
    // a Unicode window.
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkLabel::WindowProc)));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
}

LRESULT CALLBACK LinkLabel::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LinkLabel* self = reinterpret_cast<LinkLabel*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT LinkLabel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC old = m_oldProc;
    switch (message) {
        case DialogBase::kReflectBase + WM_CTLCOLORSTATIC:
        case DialogBase::kReflectBase + WM_CTLCOLORBTN:
        case DialogBase::kReflectBase + WM_CTLCOLOREDIT:
        case DialogBase::kReflectBase + WM_CTLCOLORLISTBOX:
            return reinterpret_cast<LRESULT>(
                OnColourQuery(reinterpret_cast<HDC>(wParam), message - DialogBase::kReflectBase));
        case WM_TIMER:
            OnTick();
            break;
        case WM_LBUTTONDOWN: {
            // The text names what to open: an address, a document, a program.
            const std::string text = WindowTextOf(m_hwnd);
            sys::win32::ShellOpen(text.c_str(), SW_SHOWNORMAL);
            break;
        }
        case WM_SETCURSOR:
            if (m_cursor) {
                SetCursor(m_cursor);
                return TRUE;
            }
            break;
        case WM_NCDESTROY: {
            // The window goes; the object may live on and must not touch it.
            if (m_timerActive) KillTimer(m_hwnd, kFlashTimer);
            SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
            RemovePropA(m_hwnd, DialogBase::kReflectProperty);
            HWND h = m_hwnd;
            m_hwnd = nullptr;
            m_oldProc = nullptr;
            m_timerActive = 0;
            return CallWindowProcA(old, h, message, wParam, lParam);
        }
        default:
            break;
    }
    return CallWindowProcA(old, m_hwnd, message, wParam, lParam);
}

HBRUSH LinkLabel::OnColourQuery(HDC dc, UINT message) {
    if (message == WM_CTLCOLORSTATIC) {
        SelectObject(dc, m_font);
        ::SetTextColor(dc, m_textColor);
        SetBkMode(dc, TRANSPARENT);
    }
    return (m_flashMode == 2 && m_flashPhase == 0) ? m_flashBrush : m_bkBrush;
}

void LinkLabel::OnTick() {
    m_flashPhase = m_flashPhase == 0 ? 1 : 0;
    if (!m_hwnd) return;
    if (m_flashMode == 1) {
        SetWindowTextA(m_hwnd, m_flashPhase == 1 ? "" : m_savedText.c_str());
    } else if (m_flashMode == 2) {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        UpdateWindow(m_hwnd);
    }
}

void LinkLabel::Redraw() {
    if (m_hwnd) RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void LinkLabel::RebuildFont() {
    if (m_font) DeleteObject(m_font);
    m_font = CreateFontIndirectA(&m_logFont);
    // The control paints with its own font too: give it the new one.
    if (m_hwnd) SendMessageA(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
}

LinkLabel& LinkLabel::SetText(const std::string& text) {
    if (m_hwnd) SetWindowTextA(m_hwnd, text.c_str());
    return *this;
}

LinkLabel& LinkLabel::SetTextColor(COLORREF colour) {
    m_textColor = colour;
    Redraw();
    return *this;
}

LinkLabel& LinkLabel::SetBkColor(COLORREF colour) {
    if (m_bkBrush) DeleteObject(m_bkBrush);
    m_bkBrush = CreateSolidBrush(colour);
    return *this;
}

LinkLabel& LinkLabel::SetFontBold(bool bold) {
    m_logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Redraw();
    return *this;
}

LinkLabel& LinkLabel::SetFontUnderline(bool underline) {
    m_logFont.lfUnderline = underline ? 1 : 0;
    RebuildFont();
    Redraw();
    return *this;
}

LinkLabel& LinkLabel::SetFontItalic(bool italic) {
    m_logFont.lfItalic = italic ? 1 : 0;
    RebuildFont();
    Redraw();
    return *this;
}

LinkLabel& LinkLabel::SetFontSize(int size) {
    m_logFont.lfHeight = -size;
    RebuildFont();
    Redraw();
    return *this;
}

LinkLabel& LinkLabel::SetFontName(const std::string& face) {
    std::memset(m_logFont.lfFaceName, 0, sizeof m_logFont.lfFaceName);
    std::strncpy(m_logFont.lfFaceName, face.c_str(), sizeof m_logFont.lfFaceName - 1);
    RebuildFont();
    Redraw();
    return *this;
}

void LinkLabel::ChangeStyle(int index, LONG bits, bool on, bool frameChanged) {
    if (!m_hwnd) return;
    LONG style = GetWindowLongA(m_hwnd, index);
    style = on ? (style | bits) : (style & ~bits);
    SetWindowLongA(m_hwnd, index, style);
    if (frameChanged)
        SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LinkLabel& LinkLabel::SetSunken(bool sunken) {
    ChangeStyle(GWL_EXSTYLE, WS_EX_STATICEDGE, sunken, true);
    return *this;
}

LinkLabel& LinkLabel::SetBorder(bool border) {
    ChangeStyle(GWL_STYLE, WS_BORDER, border, true);
    return *this;
}

LinkLabel& LinkLabel::SetLink(bool link) {
    ChangeStyle(GWL_STYLE, SS_NOTIFY, link, false);
    return *this;
}

LinkLabel& LinkLabel::SetLinkCursor(HCURSOR cursor) {
    m_cursor = cursor;
    return *this;
}

void LinkLabel::StopFlash() {
    if (!m_timerActive) return;
    if (m_hwnd) KillTimer(m_hwnd, kFlashTimer);
    m_timerActive = 0;
    if (m_flashMode == 1) {
        // The saved text comes back even when the last tick had hidden it.
        if (m_hwnd) SetWindowTextA(m_hwnd, m_savedText.c_str());
    } else if (m_flashMode == 2) {
        // A stopped background flash leaves the normal background, not
        // whichever brush its last tick chose: reset and repaint.
        m_flashPhase = 0;
        m_flashMode = 0;
        Redraw();
    }
    m_flashMode = 0;
}

LinkLabel& LinkLabel::FlashText(bool on) {
    StopFlash();
    if (on) {
        m_savedText = WindowTextOf(m_hwnd);
        m_flashPhase = 0;
        m_timerActive = 1;
        SetTimer(m_hwnd, kFlashTimer, kFlashPeriodMs, nullptr);
        m_flashMode = 1;
    }
    return *this;
}

LinkLabel& LinkLabel::FlashBackground(bool on) {
    StopFlash();
    if (on) {
        m_flashPhase = 0;
        m_timerActive = 1;
        SetTimer(m_hwnd, kFlashTimer, kFlashPeriodMs, nullptr);
        m_flashMode = 2;
    }
    return *this;
}
