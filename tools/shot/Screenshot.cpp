#include "Screenshot.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "PngWriter.h"

namespace {

// The screen's pixels inside `area` as RGB rows, top row first.
bool CaptureRgb(RECT area, std::uint32_t& width, std::uint32_t& height, std::vector<std::uint8_t>& rgb) {
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT clipped;
    if (!IntersectRect(&clipped, &area, &screen)) return false;
    const int w = clipped.right - clipped.left, h = clipped.bottom - clipped.top;

    HDC screenDc = GetDC(nullptr);
    if (!screenDc) return false;
    HDC memDc = CreateCompatibleDC(screenDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memDc ? CreateDIBSection(memDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memDc, bitmap);
        ok = BitBlt(memDc, 0, 0, w, h, screenDc, clipped.left, clipped.top, SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        if (ok) {
            width = static_cast<std::uint32_t>(w);
            height = static_cast<std::uint32_t>(h);
            rgb.resize(static_cast<std::size_t>(w) * h * 3);
            const std::uint8_t* src = static_cast<const std::uint8_t*>(bits);
            std::uint8_t* dst = rgb.data();
            // A 32-bit DIB holds blue, green, red and an unused byte.
            for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i, src += 4, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        }
        SelectObject(memDc, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memDc) DeleteDC(memDc);
    ReleaseDC(nullptr, screenDc);
    return ok;
}

bool WriteFileBytes(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

template <typename OpenFile>
bool SaveArea(RECT area, OpenFile open) {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    if (!CaptureRgb(area, width, height, rgb)) return false;
    const std::vector<std::uint8_t> png = shot::EncodePngRgb(width, height, rgb);
    return !png.empty() && WriteFileBytes(open(), png);
}

bool WindowArea(void* window, RECT& area) {
    HWND hwnd = static_cast<HWND>(window);
    return hwnd && IsWindow(hwnd) && GetWindowRect(hwnd, &area);
}

RECT ScreenArea() {
    RECT area;
    area.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return area;
}

auto Opener(const char* path) {
    return [path] { return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr); };
}

auto Opener(const wchar_t* path) {
    return [path] { return CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr); };
}

}  // namespace

bool SaveWindowPng(void* window, const char* path) {
    RECT area;
    return path && WindowArea(window, area) && SaveArea(area, Opener(path));
}

bool SaveWindowPng(void* window, const wchar_t* path) {
    RECT area;
    return path && WindowArea(window, area) && SaveArea(area, Opener(path));
}

bool SaveScreenPng(const char* path) { return path && SaveArea(ScreenArea(), Opener(path)); }

bool SaveScreenPng(const wchar_t* path) { return path && SaveArea(ScreenArea(), Opener(path)); }
