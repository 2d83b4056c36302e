#include "UiHarness.h"

#include <cstdlib>

#include "Screenshot.h"
#include "resource.h"

namespace ui {

sys::MsgAnswer RecordedMessages::ShowMessage(int id, const char* extra, sys::MsgButtons buttons, sys::MsgIcon) {
    ids.push_back(id);
    texts.push_back(extra ? extra : "");
    return buttons == sys::MsgButtons::Ok ? sys::MsgAnswer::Ok : answer;
}

sys::MsgAnswer RecordedMessages::ShowText(const char* text, sys::MsgButtons buttons, sys::MsgIcon) {
    ids.push_back(0);
    texts.push_back(text ? text : "");
    return buttons == sys::MsgButtons::Ok ? sys::MsgAnswer::Ok : answer;
}

std::string SamplePackage() { return INSTALIX_TEST_PACKAGE; }

std::string TempFolder(const std::string& name) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    std::string dir = std::string(tmp) + "instalix-ui-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

namespace {
sys::Platform Combine(sys::win32::Win32Platform& real, sys::IFiles& files, sys::IMessageBox& messages) {
    const sys::Platform p = real.platform();
    return sys::Platform{p.registry, p.profile, files, p.spooler, p.services, p.system, messages, p.usb};
}
}  // namespace

UiMachine::UiMachine(const std::string& package)
    : m_files(m_real.platform().files, package + "\\instalix.exe"), m_platform(Combine(m_real, m_files, messages)) {}

void Pump(HWND dialog) {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}

void PressKey(HWND frame, HWND target, UINT vk) {
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1;
    if (!IsDialogMessageA(frame, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    msg.message = WM_KEYUP;
    msg.lParam = static_cast<LPARAM>(0xC0000001u);
    if (!IsDialogMessageA(frame, &msg)) DispatchMessageA(&msg);
    Pump(frame);
}

void Click(HWND frame, HWND button) {
    SetForegroundWindow(frame);
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump(frame);
}

void ChooseEntry(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

std::string Text(HWND window) {
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::vector<std::string> Entries(HWND combo) {
    std::vector<std::string> out;
    const LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buffer[512] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        out.push_back(buffer);
    }
    return out;
}

void Shot(HWND window, const std::string& name) {
    if (!window) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    Pump();
    const std::string path = std::string(INSTALIX_TEST_SHOTS) + "\\" + name + ".png";
    CreateDirectoryA(INSTALIX_TEST_SHOTS, nullptr);
    SaveWindowPng(window, path.c_str());
}

Wizard::Wizard(UiMachine& machine) : w(machine.platform(), nullptr) {
    w.frame.Create(nullptr);
    ShowWindow(w.frame.hwnd(), SW_SHOW);
    SetForegroundWindow(w.frame.hwnd());
    Pump(w.frame.hwnd());
}

Wizard::~Wizard() {
    if (w.frame.hwnd()) DestroyWindow(w.frame.hwnd());
    Pump();
}

void Wizard::Next() { Click(frame(), GetDlgItem(frame(), IDOK)); }
void Wizard::Back() { Click(frame(), GetDlgItem(frame(), IDC_BACK)); }

void Wizard::GoTo(int index) {
    if (index > 0 && w.frame.m_current == 0) Click(frame(), Control(w.agreement, IDC_ACCEPT));
    while (w.frame.m_current < index) {
        const int before = w.frame.m_current;
        Next();
        if (w.frame.m_current == before) break;
    }
}

}  // namespace ui
