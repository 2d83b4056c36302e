// A static text control that paints in its own colours and font, can blink
// its text or its background, opens its text through the shell when clicked
// and shows its own cursor.  A page binds it to one of its statics.
#pragma once

#include <windows.h>

#include <string>

class LinkLabel {
public:
    LinkLabel();
    ~LinkLabel();
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;

    // Subclasses the static control (once); the old window procedure comes
    // back when the control is destroyed.
    void Attach(HWND hwnd);
    HWND hwnd() const { return m_hwnd; }

    LinkLabel& SetText(const std::string& text);
    LinkLabel& SetTextColor(COLORREF colour);
    LinkLabel& SetBkColor(COLORREF colour);
    LinkLabel& SetFontBold(bool bold);
    LinkLabel& SetFontUnderline(bool underline);
    LinkLabel& SetFontItalic(bool italic);
    LinkLabel& SetFontSize(int size);
    LinkLabel& SetFontName(const std::string& face);
    LinkLabel& SetSunken(bool sunken);
    LinkLabel& SetBorder(bool border);
    LinkLabel& SetLink(bool link);
    LinkLabel& SetLinkCursor(HCURSOR cursor);
    LinkLabel& FlashText(bool on);
    LinkLabel& FlashBackground(bool on);

    // The colour query the parent reflects back: the brush to paint with.
    HBRUSH OnColourQuery(HDC dc, UINT message);

    // State, for the page and the tests.
    COLORREF TextColour() const { return m_textColor; }
    HBRUSH BackgroundBrush() const { return m_bkBrush; }
    HBRUSH FlashBrush() const { return m_flashBrush; }
    const LOGFONTA& LogFont() const { return m_logFont; }
    HFONT Font() const { return m_font; }
    int FlashMode() const { return m_flashMode; }
    int FlashPhase() const { return m_flashPhase; }
    bool TimerActive() const { return m_timerActive != 0; }
    const std::string& SavedText() const { return m_savedText; }

    static constexpr UINT_PTR kFlashTimer = 1;
    static constexpr UINT kFlashPeriodMs = 500;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTick();
    // Stops a running flash of either kind and puts the label back as it
    // was: the saved text, the normal background.
    void StopFlash();
    void RebuildFont();
    void Redraw();
    void ChangeStyle(int index, LONG bits, bool on, bool frameChanged);

    HWND m_hwnd = nullptr;
    WNDPROC m_oldProc = nullptr;

    COLORREF m_textColor;
    HBRUSH m_bkBrush;
    HBRUSH m_flashBrush;
    LOGFONTA m_logFont;
    HFONT m_font;
    std::string m_savedText;
    int m_flashPhase = 0;
    int m_timerActive = 0;
    int m_flashMode = 0;
    HCURSOR m_cursor = nullptr;
};
