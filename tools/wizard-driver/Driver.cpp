#include "Driver.h"

#include <cstdio>
#include <cwctype>

#include "Screenshot.h"

namespace driver {

namespace {

constexpr double kDefaultWait = 20;  // seconds, for windows, boxes and the exit
constexpr double kIdleWait = 60;     // seconds; an installation waits for the spooler
constexpr UINT kReadTimeout = 10000; // ms for one message that reads a control

DWORD Milliseconds(double seconds) { return static_cast<DWORD>(seconds * 1000 + 0.5); }

double SecondsArg(const Step& step, std::size_t index, double fallback) {
    double s = fallback;
    if (step.args.size() > index) ParseSeconds(step.args[index], s);
    return s;
}

std::string ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer ? buffer : L"";
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return "error " + std::to_string(error) + (text.empty() ? "" : " (" + Utf8(text) + ")");
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

// A window's own caption; top-level windows keep it outside their process.
std::wstring CaptionOf(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

// A control's text through WM_GETTEXT, which the system carries across
// processes (and converts from the program's code page).
bool TextOf(HWND control, std::wstring& text) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kReadTimeout, &length)) return false;
    std::vector<wchar_t> buffer(length + 64);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL,
                             kReadTimeout, &copied))
        return false;
    text.assign(buffer.data(), copied < buffer.size() ? copied : buffer.size() - 1);
    return true;
}

bool IsCombo(HWND window) { return SameNoCase(ClassOf(window), L"ComboBox"); }
bool IsListBox(HWND window) { return SameNoCase(ClassOf(window), L"ListBox"); }

// The entries of a combo or list box and the selected index (-1: none).
bool EntriesOf(HWND list, std::vector<std::wstring>& entries, LRESULT& selected, std::string& why) {
    const bool combo = IsCombo(list);
    if (!combo && !IsListBox(list)) {
        why = "the control is a " + Utf8(ClassOf(list)) + ", not a list";
        return false;
    }
    const UINT getCount = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT getLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const UINT getSel = combo ? CB_GETCURSEL : LB_GETCURSEL;
    DWORD_PTR count = 0, sel = 0;
    if (!SendMessageTimeoutW(list, getCount, 0, 0, SMTO_NORMAL, kReadTimeout, &count) ||
        !SendMessageTimeoutW(list, getSel, 0, 0, SMTO_NORMAL, kReadTimeout, &sel)) {
        why = "the list does not answer";
        return false;
    }
    entries.clear();
    for (LRESULT i = 0; i < static_cast<LRESULT>(count); ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, getLength, static_cast<WPARAM>(i), 0, SMTO_NORMAL, kReadTimeout, &length);
        std::vector<wchar_t> buffer(static_cast<LRESULT>(length) < 0 ? 64 : length + 64);
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(list, getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL,
                            kReadTimeout, &copied);
        if (static_cast<LRESULT>(copied) < 0 || copied >= buffer.size()) copied = 0;
        entries.emplace_back(buffer.data(), copied);
    }
    selected = static_cast<LRESULT>(sel);
    return true;
}

std::string JoinList(const std::vector<std::wstring>& entries) {
    std::string out;
    for (std::size_t i = 0; i < entries.size(); ++i) out += (i ? "|" : "") + Utf8(entries[i]);
    return Quote(out);
}

struct ChildSearch {
    int idBits;
    std::vector<HWND> visible, hidden;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    ChildSearch* search = reinterpret_cast<ChildSearch*>(param);
    if (ControlIdBits(GetDlgCtrlID(child)) == search->idBits)
        (IsWindowVisible(child) ? search->visible : search->hidden).push_back(child);
    return TRUE;
}

struct TopSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
    TopSearch* search = reinterpret_cast<TopSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->processId && IsWindowVisible(window)) search->windows.push_back(window);
    return TRUE;
}

// Visible top-level windows of any process with a caption.
struct CaptionSearch {
    std::wstring caption;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectAnyChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

BOOL CALLBACK CollectCaptioned(HWND window, LPARAM param) {
    CaptionSearch* search = reinterpret_cast<CaptionSearch*>(param);
    if (IsWindowVisible(window) && CaptionOf(window) == search->caption) search->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(parent, CollectAnyChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

// The text of a message box: its static 0xFFFF, else the longest text of
// its static controls.
std::wstring BoxText(HWND box) {
    std::wstring text;
    HWND item = GetDlgItem(box, 0xFFFF);
    if (item && TextOf(item, text) && !text.empty()) return text;
    std::wstring best;
    for (HWND child : Children(box)) {
        std::wstring t;
        if (SameNoCase(ClassOf(child), L"Static") && TextOf(child, t) && t.size() > best.size()) best = t;
    }
    return best;
}

// The visible push buttons of a box, by id.
std::vector<int> BoxButtons(HWND box) {
    std::vector<int> ids;
    for (HWND child : Children(box))
        if (SameNoCase(ClassOf(child), L"Button") && IsWindowVisible(child)) ids.push_back(GetDlgCtrlID(child));
    return ids;
}

std::string ButtonList(const std::vector<int>& ids) {
    std::string out;
    for (int id : ids) out += (out.empty() ? "" : " ") + ButtonName(id);
    return out.empty() ? "none" : out;
}

// Until neither the window nor any of its visible children has anything
// left to paint, then a little longer: Wine copies what was painted to the
// screen shortly after.
void WaitPainted(HWND root, double seconds) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(root, WM_NULL, 0, 0, SMTO_NORMAL, kReadTimeout, &ignored);
    const DWORD until = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        bool pending = GetUpdateRect(root, nullptr, FALSE) != FALSE;
        if (!pending)
            for (HWND child : Children(root))
                if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) pending = true;
        if (!pending || static_cast<LONG>(GetTickCount() - until) > 0) break;
        Sleep(10);
    }
    Sleep(120);
}

bool MakeDirectories(const std::wstring& path) {
    if (path.empty()) return true;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 2) MakeDirectories(path.substr(0, slash));
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Ms(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f ms", seconds * 1000);
    return buffer;
}

// The step as the script wrote it, for its output line.
std::string Echo(const Step& step) {
    std::string out = step.command;
    for (const std::string& a : step.args) {
        bool plain = !a.empty();
        for (char c : a)
            if (c == ' ' || c == '"' || c == '\t' || c == '\n' || c == '\r' || c == '#') plain = false;
        out += " " + (plain ? a : Quote(a));
    }
    return out;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
    std::u16string u;
    Utf8ToUtf16(utf8, u);
    return std::wstring(u.begin(), u.end());
}

std::string Utf8(const std::wstring& wide) { return Utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

void PrintLine(const std::string& utf8) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring w = Wide(utf8) + L"\r\n";
        WriteConsoleW(out, w.c_str(), static_cast<DWORD>(w.size()), &written, nullptr);
    } else {
        const std::string line = utf8 + "\n";
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

Driver::Driver() = default;

Driver::~Driver() {
    if (Running()) TerminateProcess(m_process, 1);
    CloseProcess();
}

void Driver::SetShotDir(const std::wstring& dir, const std::wstring& prefix) {
    m_shotDir = dir;
    m_shotPrefix = prefix;
    MakeDirectories(m_shotDir);
}

bool Driver::Run(const Step& step) {
    std::string result;
    m_opened.clear();
    const bool ok = Dispatch(step, result);
    if (ok && !m_opened.empty()) result += (result.empty() ? "" : "; ") + std::string("opened ") + m_opened;
    std::string line = std::to_string(step.line) + ": " + Echo(step);
    if (!ok) line += " => FAILED: " + result;
    else if (!result.empty()) line += " => " + result;
    PrintLine(line);
    return ok;
}

bool Driver::Dispatch(const Step& step, std::string& result) {
    const std::string& c = step.command;
    if (c == "start") return Start(step, result, false);
    if (c == "time-start") return Start(step, result, true);
    if (c == "wait-window") return WaitWindow(step, result);
    if (c == "wait-exit") return WaitExit(step, result);
    if (c == "kill") return Kill(result);
    if (c == "click") return Click(step, result);
    if (c == "select") return Select(step, result);
    if (c == "key") return Key(step, result);
    if (c == "sysmenu") {
        long long id = 0;
        ParseInteger(step.args[0], id);
        return SendCommand(WM_SYSCOMMAND, static_cast<WPARAM>(id), result);
    }
    if (c == "close") return SendCommand(WM_SYSCOMMAND, SC_CLOSE, result);
    if (c == "text") return ReadText(step, result);
    if (c == "texts") return ReadTexts(result);
    if (c == "expect-text") return ExpectText(step, result);
    if (c == "expect-enabled" || c == "expect-visible" || c == "expect-checked") return ExpectState(step, result);
    if (c == "expect-list") return ExpectList(step, result);
    if (c == "expect-selected") return ExpectSelected(step, result);
    if (c == "expect-caption") return ExpectCaption(step, result);
    if (c == "expect-focus") return ExpectFocus(step, result);
    if (c == "answer") return Answer(step, result);
    if (c == "expect-no-box") return ExpectNoBox(result);
    if (c == "shot") return Shot(step, result, false);
    if (c == "shot-screen") return Shot(step, result, true);
    if (c == "shotdir") return ShotDir(step, result);
    if (c == "wait-idle") return WaitIdleStep(step, result);
    if (c == "sleep") {
        Sleep(Milliseconds(SecondsArg(step, 0, 0)));
        return true;
    }
    if (c == "note") return true;
    if (c == "other-window") return OtherWindow(step, result);
    result = "no such command";
    return false;
}

bool Driver::Finish() {
    if (!Running()) {
        CloseProcess();
        return true;
    }
    TerminateProcess(m_process, 1);
    WaitForSingleObject(m_process, 5000);
    CloseProcess();
    PrintLine("end: FAILED: the program was still running at the end of the script; killed");
    return false;
}

void Driver::Abandon(const Step& step) {
    if (!m_shotDir.empty()) SaveScreenPng(ShotPath("failed-line" + std::to_string(step.line)).c_str());
    if (Running()) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
        PrintLine("end: the program was killed");
    }
    CloseProcess();
}

bool Driver::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

void Driver::CloseProcess() {
    if (m_process) CloseHandle(m_process);
    m_process = nullptr;
    m_processId = 0;
    m_target = nullptr;
}

bool Driver::NeedTarget(std::string& why) const {
    if (!m_process) why = "no program started";
    else if (!m_target) why = "no target window (wait-window first)";
    else if (!IsWindow(m_target)) why = Running() ? "the target window is gone" : "the program has ended";
    else return true;
    return false;
}

// The program is idle when its user-interface thread waits for messages
// with none pending, in its own loop or in a message box's.  Wine also
// reports the thread idle while it waits inside some calls, so actions do
// not rely on this alone (see PostAndWait).
bool Driver::WaitIdle(double seconds, std::string& why) {
    if (!Running()) return true;
    const DWORD r = WaitForInputIdle(m_process, Milliseconds(seconds));
    if (r == 0 || !Running()) return true;
    if (r == WAIT_TIMEOUT) {
        why = "the program did not become idle within " + std::to_string(static_cast<int>(seconds)) + " s";
        return false;
    }
    // No input-idle state to wait for: at least have the target answer.
    DWORD_PTR ignored = 0;
    if (m_target && !SendMessageTimeoutW(m_target, WM_NULL, 0, 0, SMTO_NORMAL, Milliseconds(seconds), &ignored) &&
        Running()) {
        why = "the program does not answer";
        return false;
    }
    return true;
}

namespace {

bool Pushed(HWND button, bool& pushed) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_NORMAL, 50, &state)) return false;
    pushed = (state & BST_PUSHED) != 0;
    return true;
}

// A push button directly in `root`, other than `except`: the marker whose
// pushed state tells when the program has got through its queue.
HWND MarkerButton(HWND root, HWND except) {
    if (!root || !IsWindow(root)) return nullptr;
    for (HWND child = GetWindow(root, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == except || !SameNoCase(ClassOf(child), L"Button")) continue;
        const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return child;
    }
    return nullptr;
}

}  // namespace

// Input reaches a program through its queue, and so do the driver's
// actions: they are posted, as the mouse's and the keyboard's messages are
// (a handler run from a message sent by another process would end its
// dialog differently).  To know when the program is through with them, a
// push button of the same thread is marked pushed before and a message that
// clears the mark is posted after them: the program handles posted
// messages in order, so once the mark is gone, the actions have been
// handled, or the program waits in a message box that one of them opened
// (the box's loop handles the rest of the queue).
bool Driver::PostAndWait(const std::vector<Posted>& messages, HWND root, HWND except, std::string& why) {
    const std::vector<HWND> before = Dialogs();
    HWND marker = MarkerButton(root, except);
    bool pushed = false;
    DWORD_PTR ignored = 0;
    if (marker) {
        SendMessageTimeoutW(marker, BM_SETSTATE, TRUE, 0, SMTO_NORMAL, kReadTimeout, &ignored);
        if (!Pushed(marker, pushed) || !pushed) marker = nullptr;
    }
    for (const Posted& m : messages) PostMessageW(m.window, m.message, m.wParam, m.lParam);
    if (!marker) return WaitIdle(kIdleWait, why);
    PostMessageW(marker, BM_SETSTATE, FALSE, 0);
    const double deadline = Now() + kIdleWait;
    for (;;) {
        if (!Running() || !IsWindow(marker)) break;
        if (Pushed(marker, pushed) && !pushed) break;
        if (Now() > deadline) {
            why = "the program is still busy after " + std::to_string(static_cast<int>(kIdleWait)) + " s";
            for (HWND box : OpenBoxes()) why += "; a box is open: " + Quote(Utf8(BoxText(box)));
            return false;
        }
        Sleep(5);
    }
    for (HWND dialog : Dialogs()) {
        bool known = false;
        for (HWND b : before) known = known || b == dialog;
        if (!known) m_opened = Quote(Utf8(BoxText(dialog)));
    }
    // Painting and what the handlers posted to themselves.
    return WaitIdle(kIdleWait, why);
}

bool Driver::Usable(HWND control, std::string& why) const {
    for (HWND w = control; w; w = GetAncestor(w, GA_PARENT)) {
        if (w == GetDesktopWindow()) break;
        if (!IsWindowVisible(w)) {
            why = w == control ? "the control is hidden" : "the control's window is hidden";
            return false;
        }
        if (!IsWindowEnabled(w)) {
            why = w == control ? "the control is disabled"
                               : "the control's window is disabled (is a message box open?)";
            return false;
        }
        if (w == GetAncestor(control, GA_ROOT)) break;
    }
    return true;
}

std::vector<HWND> Driver::TopWindows() const {
    TopSearch search{m_processId, {}};
    if (m_processId) EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND Driver::FindTopWindow(const std::wstring& caption) const {
    for (HWND w : TopWindows())
        if (CaptionOf(w) == caption) return w;
    return nullptr;
}

std::vector<HWND> Driver::Dialogs() const {
    std::vector<HWND> dialogs;
    for (HWND w : TopWindows())
        if (ClassOf(w) == L"#32770") dialogs.push_back(w);
    return dialogs;
}

std::vector<HWND> Driver::OpenBoxes() const {
    std::vector<HWND> boxes;
    for (HWND w : TopWindows())
        if (w != m_target && ClassOf(w) == L"#32770") boxes.push_back(w);
    return boxes;
}

std::string Driver::DescribeWindows() const {
    std::string out;
    for (HWND w : TopWindows()) out += (out.empty() ? "" : ", ") + Quote(Utf8(CaptionOf(w)));
    return out.empty() ? "no visible window" : "visible windows: " + out;
}

HWND Driver::FindControl(const std::string& word, std::string& why) const {
    if (!NeedTarget(why)) return nullptr;
    ControlRef ref;
    ParseControl(word, ref);
    ChildSearch search{ControlIdBits(ref.id), {}, {}};
    EnumChildWindows(m_target, CollectChild, reinterpret_cast<LPARAM>(&search));
    const std::vector<HWND>& pool = search.visible.empty() ? search.hidden : search.visible;
    const std::size_t index = ref.index > 0 ? static_cast<std::size_t>(ref.index - 1) : 0;
    if (index < pool.size()) return pool[index];
    why = pool.empty() ? "no control " + std::to_string(ref.id) + " in the target window"
                       : "only " + std::to_string(pool.size()) + " controls " + std::to_string(ref.id);
    return nullptr;
}

std::wstring Driver::ShotPath(const std::string& name) const {
    std::wstring file = Wide(WindowsPath(name));
    if (file.size() < 4 || !SameNoCase(file.substr(file.size() - 4), L".png")) file += L".png";
    const bool hasFolder = file.find_first_of(L"\\/:") != std::wstring::npos;
    if (hasFolder || m_shotDir.empty()) return file;
    return m_shotDir + L"\\" + m_shotPrefix + file;
}

bool Driver::Start(const Step& step, std::string& result, bool timed) {
    if (Running()) {
        result = "a program is still running (wait-exit or kill first)";
        return false;
    }
    CloseProcess();
    const std::string programPath = WindowsPath(step.args[0]);
    const std::wstring program = Wide(programPath);
    const std::size_t dirIndex = timed ? 2 : 1;
    const std::wstring dir = step.args.size() > dirIndex ? Wide(WindowsPath(step.args[dirIndex])) : L"";
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const double t0 = Now();
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &startup, &info)) {
        result = "cannot start " + Quote(programPath) + ": " + ErrorText(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
    m_programBase = BaseName(programPath);
    m_target = nullptr;
    result = "process " + std::to_string(m_processId);
    if (!timed) return true;

    // Until the window with the caption is visible, then until the program
    // waits for input.
    const std::wstring caption = Wide(step.args[1]);
    const double deadline = t0 + kDefaultWait * 3;
    HWND window = nullptr;
    while (!(window = FindTopWindow(caption))) {
        if (!Running() || Now() > deadline) {
            result = Running() ? "no window " + Quote(step.args[1]) + " within " + Ms(deadline - t0)
                               : "the program ended before its window was shown";
            return false;
        }
        Sleep(1);
    }
    const double visible = Now() - t0;
    m_target = window;
    std::string why;
    if (!WaitIdle(kIdleWait, why)) {
        result = why;
        return false;
    }
    const double idle = Now() - t0;
    result = "visible after " + Ms(visible) + ", idle after " + Ms(idle);
    return true;
}

bool Driver::WaitWindow(const Step& step, std::string& result) {
    if (!m_process) {
        result = "no program started";
        return false;
    }
    const std::wstring caption = Wide(step.args[0]);
    const double seconds = SecondsArg(step, 1, kDefaultWait);
    const double deadline = Now() + seconds;
    for (;;) {
        if (HWND window = FindTopWindow(caption)) {
            m_target = window;
            return WaitIdle(kIdleWait, result);
        }
        if (!Running()) {
            DWORD code = 0;
            GetExitCodeProcess(m_process, &code);
            result = "the program ended (exit code " + std::to_string(code) + ") without that window";
            return false;
        }
        if (Now() > deadline) {
            result = "no such window within " + std::to_string(static_cast<int>(seconds)) + " s; " + DescribeWindows();
            return false;
        }
        Sleep(10);
    }
}

// A window of another program, found by its caption (a help viewer the
// program started): "open" waits until exactly one is shown; "minimize"
// minimises it; "restored" waits until it is shown, not minimised, and above
// the program's window; "close" closes it and waits until it is gone.
bool Driver::OtherWindow(const Step& step, std::string& result) {
    const std::string& action = step.args[1];
    if (action != "open" && action != "minimize" && action != "restored" && action != "close") {
        result = "no such action (open, minimize, restored, close)";
        return false;
    }
    CaptionSearch search{Wide(step.args[0]), {}};
    const double deadline = Now() + SecondsArg(step, 2, kDefaultWait);
    auto find = [&search] {
        search.windows.clear();
        EnumWindows(CollectCaptioned, reinterpret_cast<LPARAM>(&search));
        return search.windows;
    };
    // Whether `window` comes before the program's window in the z-order.
    auto above = [this](HWND window) {
        if (!m_target) return true;
        for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == m_target) return true;
        return false;
    };
    for (;;) {
        std::vector<HWND> windows = find();
        const bool one = windows.size() == 1;
        if (action == "open" && one) {
            result = "one window";
            return true;
        }
        if (action == "restored" && one && !IsIconic(windows[0]) && above(windows[0])) {
            result = "shown, in front of the program's window";
            return true;
        }
        if (action == "minimize" && one) {
            ShowWindowAsync(windows[0], SW_MINIMIZE);
            for (int i = 0; i < 200 && !IsIconic(windows[0]); ++i) Sleep(10);
            if (IsIconic(windows[0])) {
                result = "minimised";
                return true;
            }
        }
        if (action == "close" && windows.empty()) {
            result = "gone";
            return true;
        }
        if (action == "close" && one) PostMessageW(windows[0], WM_CLOSE, 0, 0);
        if (Now() > deadline) {
            result = std::to_string(windows.size()) + " such windows";
            if (action == "restored" && one)
                result += IsIconic(windows[0]) ? ", minimised" : ", behind the program's window";
            return false;
        }
        Sleep(50);
    }
}

bool Driver::WaitExit(const Step& step, std::string& result) {
    if (!m_process) {
        result = "no program started";
        return false;
    }
    const double seconds = SecondsArg(step, 0, kDefaultWait);
    if (WaitForSingleObject(m_process, Milliseconds(seconds)) == WAIT_TIMEOUT) {
        result = "still running after " + std::to_string(static_cast<int>(seconds)) + " s (" + DescribeWindows() +
                 "); killed";
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
        CloseProcess();
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    m_exitCode = code;
    CloseProcess();
    result = "exit code " + std::to_string(code);
    return true;
}

bool Driver::Kill(std::string& result) {
    if (!m_process) {
        result = "no program started";
        return false;
    }
    if (Running()) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
        result = "killed";
    } else {
        result = "had ended already";
    }
    CloseProcess();
    return true;
}

bool Driver::Click(const Step& step, std::string& result) {
    HWND control = FindControl(step.args[0], result);
    if (!control) return false;
    if (!Usable(control, result)) return false;
    if (GetForegroundWindow() != m_target) SetForegroundWindow(m_target);
    return PostAndWait({{control, BM_CLICK, 0, 0}}, m_target, control, result);
}

bool Driver::Select(const Step& step, std::string& result) {
    HWND list = FindControl(step.args[0], result);
    if (!list) return false;
    if (!IsCombo(list)) {
        result = "the control is a " + Utf8(ClassOf(list)) + ", not a combo box";
        return false;
    }
    if (!Usable(list, result)) return false;
    std::vector<std::wstring> entries;
    LRESULT selected = -1;
    if (!EntriesOf(list, entries, selected, result)) return false;
    const std::wstring wanted = Wide(step.args[1]);
    std::size_t index = 0;
    while (index < entries.size() && entries[index] != wanted) ++index;
    if (index == entries.size()) {
        result = "no such entry; the list holds " + JoinList(entries);
        return false;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(list, CB_SETCURSEL, index, 0, SMTO_NORMAL, kReadTimeout, &ignored);
    // The parent learns of the choice as it would from the user.
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE);
    result = "entry " + std::to_string(index);
    std::string why;
    if (!PostAndWait({{GetParent(list), WM_COMMAND, command, reinterpret_cast<LPARAM>(list)}}, m_target, nullptr, why)) {
        result = why;
        return false;
    }
    return true;
}

bool Driver::Key(const Step& step, std::string& result) {
    HWND control = FindControl(step.args[0], result);
    if (!control) return false;
    int vk = 0;
    ParseVirtualKey(step.args[1], vk);
    // Focus as the dialog manager gives it, then the key through the queue,
    // where the dialog's loop sees it (Enter, Escape, arrows, Tab).
    if (!Usable(control, result)) return false;
    DWORD_PTR ignored = 0;
    HWND root = GetAncestor(control, GA_ROOT);
    SendMessageTimeoutW(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE, SMTO_NORMAL, kReadTimeout, &ignored);
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), 0 /* MAPVK_VK_TO_VSC */);
    const bool extended = vk >= VK_PRIOR && vk <= VK_DOWN;  // also VK_INSERT, VK_DELETE
    const LPARAM down = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16) | (extended ? (1 << 24) : 0);
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND focus = GetGUIThreadInfo(GetWindowThreadProcessId(m_target, nullptr), &info) && info.hwndFocus
                     ? info.hwndFocus
                     : control;
    std::vector<Posted> keys = {{focus, WM_KEYDOWN, static_cast<WPARAM>(vk), down}};
    // The system's input processing turns F1 into a help request.
    if (vk == VK_F1) keys.push_back({focus, 0x004D /* WM_KEYF1 */, 0, 0});
    keys.push_back({focus, WM_KEYUP, static_cast<WPARAM>(vk), up});
    return PostAndWait(keys, m_target, nullptr, result);
}

bool Driver::SendCommand(UINT message, WPARAM wParam, std::string& result) {
    if (!NeedTarget(result)) return false;
    if (!IsWindowEnabled(m_target)) {
        result = "the window is disabled (is a message box open?)";
        return false;
    }
    return PostAndWait({{m_target, message, wParam, 0}}, m_target, nullptr, result);
}

bool Driver::ReadText(const Step& step, std::string& result) {
    HWND control = FindControl(step.args[0], result);
    if (!control) return false;
    std::wstring text;
    if (!TextOf(control, text)) {
        result = "the control does not answer";
        return false;
    }
    result = Quote(Utf8(text));
    return true;
}


bool Driver::ReadTexts(std::string& result) {
    if (!NeedTarget(result)) return false;
    // Every visible control of the target window, its pages' included, as
    // "ID CLASS "TEXT"", in the order the window lists them.
    std::wstring caption;
    TextOf(m_target, caption);
    result = "window " + Quote(Utf8(caption));
    for (HWND child : Children(m_target)) {
        if (!IsWindowVisible(child)) continue;
        std::wstring text;
        if (!TextOf(child, text)) text.clear();
        result += "; " + std::to_string(static_cast<short>(GetDlgCtrlID(child))) + " " + Utf8(ClassOf(child)) + " " +
                  Quote(Utf8(text));
    }
    return true;
}

bool Driver::ExpectText(const Step& step, std::string& result) {
    HWND control = FindControl(step.args[0], result);
    if (!control) return false;
    std::wstring text;
    if (!TextOf(control, text)) {
        result = "the control does not answer";
        return false;
    }
    if (text != Wide(step.args[1])) {
        result = "the text is " + Quote(Utf8(text));
        return false;
    }
    return true;
}

bool Driver::ExpectState(const Step& step, std::string& result) {
    HWND control = FindControl(step.args[0], result);
    if (!control) return false;
    bool wanted = false;
    ParseFlag(step.args[1], wanted);
    bool actual = false;
    const char* what = "";
    if (step.command == "expect-enabled") {
        actual = IsWindowEnabled(control) != FALSE;
        what = actual ? "enabled" : "disabled";
    } else if (step.command == "expect-visible") {
        actual = IsWindowVisible(control) != FALSE;
        what = actual ? "visible" : "hidden";
    } else {
        DWORD_PTR state = 0;
        if (!SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kReadTimeout, &state)) {
            result = "the control does not answer";
            return false;
        }
        actual = state == BST_CHECKED;
        what = state == BST_CHECKED ? "checked" : state == BST_INDETERMINATE ? "indeterminate" : "not checked";
    }
    if (actual != wanted) {
        result = std::string("the control is ") + what;
        return false;
    }
    return true;
}

bool Driver::ExpectList(const Step& step, std::string& result) {
    HWND list = FindControl(step.args[0], result);
    if (!list) return false;
    std::vector<std::wstring> entries;
    LRESULT selected = -1;
    if (!EntriesOf(list, entries, selected, result)) return false;
    std::vector<std::wstring> wanted;
    for (const std::string& e : SplitList(step.args[1])) wanted.push_back(Wide(e));
    if (entries != wanted) {
        result = "the list holds " + JoinList(entries);
        return false;
    }
    return true;
}

bool Driver::ExpectSelected(const Step& step, std::string& result) {
    HWND list = FindControl(step.args[0], result);
    if (!list) return false;
    std::vector<std::wstring> entries;
    LRESULT selected = -1;
    if (!EntriesOf(list, entries, selected, result)) return false;
    const bool none = selected < 0 || static_cast<std::size_t>(selected) >= entries.size();
    const std::wstring actual = none ? L"" : entries[static_cast<std::size_t>(selected)];
    // An empty text expects no selection.
    if (none != step.args[1].empty() || actual != Wide(step.args[1])) {
        result = none ? "nothing is selected" : "selected is " + Quote(Utf8(actual));
        return false;
    }
    return true;
}

bool Driver::ExpectCaption(const Step& step, std::string& result) {
    if (!NeedTarget(result)) return false;
    const std::wstring caption = CaptionOf(m_target);
    if (caption != Wide(step.args[0])) {
        result = "the caption is " + Quote(Utf8(caption));
        return false;
    }
    return true;
}

bool Driver::ExpectFocus(const Step& step, std::string& result) {
    if (!NeedTarget(result)) return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_target, nullptr), &info)) {
        result = "cannot read the focus: " + ErrorText(GetLastError());
        return false;
    }
    ControlRef ref;
    ParseControl(step.args[0], ref);
    HWND focus = info.hwndFocus;
    if (!focus || !IsChild(m_target, focus) || ControlIdBits(GetDlgCtrlID(focus)) != ControlIdBits(ref.id)) {
        result = focus ? "the focus is on control " + std::to_string(GetDlgCtrlID(focus)) + " (" +
                             Utf8(ClassOf(focus)) + ")"
                       : "no control has the focus";
        return false;
    }
    return true;
}

bool Driver::Answer(const Step& step, std::string& result) {
    if (!m_process) {
        result = "no program started";
        return false;
    }
    const std::wstring wanted = Wide(step.args[0]);
    int button = 0;
    ParseButton(step.args[1], button);
    const double seconds = SecondsArg(step, 2, kDefaultWait);
    const double deadline = Now() + seconds;
    HWND box = nullptr;
    std::wstring text;
    while (!box) {
        for (HWND candidate : OpenBoxes()) {
            std::wstring t = BoxText(candidate);
            if (t.find(wanted) != std::wstring::npos) {
                box = candidate;
                text = t;
                break;
            }
        }
        if (box) break;
        if (!Running() || Now() > deadline) {
            std::string open;
            for (HWND b : OpenBoxes()) open += (open.empty() ? "" : ", ") + Quote(Utf8(BoxText(b)));
            result = !Running() ? "the program ended without that message"
                                : "no such message within " + std::to_string(static_cast<int>(seconds)) + " s; " +
                                      (open.empty() ? "no box is open" : "open: " + open);
            return false;
        }
        Sleep(10);
    }
    // Let the box finish painting before its picture is taken.
    std::string why;
    WaitIdle(kIdleWait, why);
    if (!m_shotDir.empty()) {
        WaitPainted(box, 5);
        char name[32];
        std::snprintf(name, sizeof name, "box-%02d", ++m_boxShots);
        SaveWindowPng(box, ShotPath(name).c_str());
    }
    const std::vector<int> buttons = BoxButtons(box);
    const std::wstring caption = CaptionOf(box);
    result = Quote(Utf8(text)) + " [" + ButtonList(buttons) + "]";
    if (!SameNoCase(caption, Wide(m_programBase))) {
        result += ": the caption is " + Quote(Utf8(caption)) + ", not " + Quote(m_programBase);
        return false;
    }
    HWND control = GetDlgItem(box, button);
    if (!control || !IsWindowVisible(control)) {
        result += ": the box has no " + ButtonName(button) + " button";
        return false;
    }
    // What the button tells the box when it is clicked; the marker is in
    // the target window, which the same thread runs.
    const std::vector<Posted> click = {{box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control)}};
    if (!PostAndWait(click, m_target, nullptr, why)) {
        result += ": " + why;
        return false;
    }
    const double closeBy = Now() + kDefaultWait;
    while (IsWindow(box) && IsWindowVisible(box) && Now() < closeBy) Sleep(5);
    if (IsWindow(box) && IsWindowVisible(box)) {
        result += ": the box stayed open after " + ButtonName(button);
        return false;
    }
    result += " -> " + ButtonName(button);
    return true;
}

bool Driver::ExpectNoBox(std::string& result) {
    if (!m_process) {
        result = "no program started";
        return false;
    }
    const std::vector<HWND> boxes = OpenBoxes();
    if (boxes.empty()) return true;
    result = "a box is open: " + Quote(Utf8(BoxText(boxes.front()))) + " (caption " +
             Quote(Utf8(CaptionOf(boxes.front()))) + ")";
    return false;
}

bool Driver::Shot(const Step& step, std::string& result, bool screen) {
    const std::wstring path = ShotPath(step.args[0]);
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) MakeDirectories(path.substr(0, slash));
    if (!screen) {
        if (!NeedTarget(result)) return false;
        RedrawWindow(m_target, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE | RDW_FRAME);
        if (!WaitIdle(kIdleWait, result)) return false;
        WaitPainted(m_target, 5);
    }
    if (!(screen ? SaveScreenPng(path.c_str()) : SaveWindowPng(m_target, path.c_str()))) {
        result = "cannot write " + Quote(Utf8(path));
        return false;
    }
    result = Quote(Utf8(path));
    return true;
}

bool Driver::ShotDir(const Step& step, std::string& result) {
    const std::wstring dir = Wide(WindowsPath(step.args[0]));
    SetShotDir(dir, step.args.size() > 1 ? Wide(step.args[1]) : L"");
    if (!MakeDirectories(dir)) {
        result = "cannot create the folder";
        return false;
    }
    return true;
}

bool Driver::WaitIdleStep(const Step& step, std::string& result) {
    if (!m_process) {
        result = "no program started";
        return false;
    }
    // Idle in its own loop, or waiting in a dialog other than the target.
    return WaitIdle(SecondsArg(step, 0, kIdleWait), result);
}

}  // namespace driver
