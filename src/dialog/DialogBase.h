// The base of every dialog of the wizard: the window handle, a modal run or
// a modeless child, one dialog procedure that dispatches to virtual
// handlers, the dialog's initialisation data and a data exchange in both
// directions.
#pragma once

#include <windows.h>

#include <string>

class LinkLabel;

// The whole text of a window, however long; empty for no window.
std::string WindowTextOf(HWND window);

class DialogBase {
public:
    explicit DialogBase(unsigned templateId) : m_templateId(templateId) {}
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // DialogBoxParamA: runs the dialog and returns what ended it.
    INT_PTR RunModal(HWND owner);
    // CreateDialogParamA: a modeless dialog (a page inside the frame, or a
    // window a test drives); nullptr on failure.
    HWND Create(HWND parent);
    // Ends a modal run with `result`; a modeless dialog records it and
    // hides its window.
    void End(INT_PTR result);

    HWND hwnd() const { return m_hwnd; }
    unsigned TemplateId() const { return m_templateId; }
    // What the last End was given (-1 before).
    INT_PTR EndResult() const { return m_endResult; }

    // Moves the data between the controls and the members: save = true
    // copies the controls into the members and may fail on a bad value
    // (the control then has the focus), save = false fills the controls.
    bool UpdateData(bool save) { return DoDataExchange(save); }

    // The dialog that belongs to a window handle, or nullptr.
    static DialogBase* FromHandle(HWND hwnd);

    // Messages a subclassed control gets back from its parent: kReflectBase
    // plus the message (a WM_CTLCOLOR* query).
    static constexpr UINT kReflectBase = WM_USER + 0x1C00;
    // The window property that marks a control which takes reflected queries.
    static const char kReflectProperty[];

protected:
    // WM_INITDIALOG.  The base applies the initialisation data (resource
    // type 240 of the template) and loads the data exchange.  TRUE lets the
    // system choose the focus.
    virtual BOOL OnInitDialog();
    // WM_COMMAND: true when handled.  The base maps IDOK and IDCANCEL to
    // OnOK and OnCancel.
    virtual bool OnCommand(int id, int code, HWND control);
    // IDOK and IDCANCEL: end a modal run; a modeless dialog does nothing.
    virtual void OnOK();
    virtual void OnCancel();
    // WM_NOTIFY: true when handled, with the answer in `result`.
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    // WM_CTLCOLOR*: a brush, or nullptr for the default colours.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    virtual void OnTimer(UINT_PTR id);
    // WM_HELP: true when handled.  Unhandled, the default procedure passes
    // it on to the parent window (a page to the frame).
    virtual bool OnHelp(HELPINFO* info);
    // WM_DESTROY.
    virtual void OnDestroy() {}
    // Any other message: true when handled, with the answer in `result`
    // (WM_SYSCOMMAND, WM_PAINT, WM_QUERYDRAGICON, WM_SETCURSOR, ...).
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The data exchange of the dialog; the base has nothing to exchange.
    virtual bool DoDataExchange(bool save);

    // Helpers for DoDataExchange.
    // Check box state 0, 1 or 2.
    void DdxCheck(int id, int& value, bool save);
    // Index within a group of radio buttons from firstId; -1 when none is checked.
    void DdxRadio(int firstId, int& value, bool save);
    // Selected entry of a combo box; -1 clears the selection.
    void DdxComboIndex(int id, int& value, bool save);
    // Text of a control, bounded by the buffer.
    template <std::size_t N>
    void DdxText(int id, char (&buffer)[N], bool save) {
        if (save)
            GetDlgItemTextA(m_hwnd, id, buffer, static_cast<int>(N));
        else
            SetDlgItemTextA(m_hwnd, id, buffer);
    }
    // Binds a label object to its static control the first time.
    void DdxControl(int id, LinkLabel& label);

    // Control helpers.
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    void EnableItem(int id, bool enable) const { EnableWindow(Item(id), enable ? TRUE : FALSE); }
    void ShowItem(int id, int command) const { ShowWindow(Item(id), command); }
    std::string ItemText(int id) const { return WindowTextOf(Item(id)); }
    // The text of a combo box's selected entry; empty when none is selected.
    std::string ComboSelectedText(int id, bool* selected = nullptr) const;
    // A string-table text of the program.
    static std::string LoadText(int id);

    // Applies the initialisation data of a dialog template: combo box
    // entries, and the rich-text control's document.
    void ApplyInitData(unsigned templateId);

    HWND m_hwnd = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    unsigned m_templateId;
    bool m_modal = false;
    INT_PTR m_endResult = -1;
};
