#include "ports/UsbIdentity.h"

#include <cstring>

#include "resource.h"

const char kUsbLibraryName[] = "KrUsbInt.dll";
const std::uint8_t kSetIdentityPrefix[9] = {0x1B, 0x1D, 0x49, 0x44, 0x4B, 0x52, 0x03, 0x00, 0x01};

namespace {

bool Valid(int handle) { return handle != 0 && handle != -1; }

void Say(const sys::Platform& p, const char* text) { p.messages.ShowText(text, sys::MsgButtons::Ok, sys::MsgIcon::None); }

// The library, released when the operation returns.
class Library {
public:
    explicit Library(const sys::Platform& p) : m_usb(p.usb) {
        std::uint32_t error = 0;
        m_handle = m_usb.LoadLibraryA(kUsbLibraryName, &error);
    }
    ~Library() {
        if (m_handle) m_usb.FreeLibrary(m_handle);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    bool Loaded() const { return m_handle != 0; }
    bool Has(const char* name) { return m_usb.HasExport(m_handle, name); }
    sys::LibraryHandle Handle() const { return m_handle; }

private:
    sys::IUsbLibrary& m_usb;
    sys::LibraryHandle m_handle = 0;
};

}  // namespace

int ReadUsbIdentity(const sys::Platform& p) {
    Library lib(p);
    if (!lib.Loaded()) {
        Say(p, "Can not load KrUsbInt.dll");
        return kNoUsbIdentity;
    }
    if (!lib.Has("OpenDeviceX") || !lib.Has("GetDescriptor")) {
        Say(p, "open function error");
        return kNoUsbIdentity;
    }
    if (!lib.Has("CloseDevice")) return kNoUsbIdentity;

    // Exactly one printer may be attached.
    int found = 0;
    for (int i = 0; i < 8; ++i) {
        int h = p.usb.OpenDeviceX(lib.Handle(), i);
        p.usb.CloseDevice(lib.Handle(), h);
        if (Valid(h) && ++found == 2) {
            p.messages.ShowMessage(IDS_ONE_PRINTER_ONLY, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Warning);
            return kSeveralUsbPrinters;
        }
    }
    int device = 0;
    for (int i = 0; i < 8 && !Valid(device); ++i) device = p.usb.OpenDeviceX(lib.Handle(), i);
    if (!Valid(device)) return kNoUsbIdentity;

    std::uint8_t descriptor[20];
    std::memset(descriptor, 0, sizeof descriptor);
    int ok = p.usb.GetDescriptor(lib.Handle(), device, descriptor);
    p.usb.CloseDevice(lib.Handle(), device);
    if (!ok) return kNoUsbIdentity;
    // bcdDevice, little-endian.
    return descriptor[12] | (descriptor[13] << 8);
}

void WriteUsbIdentity(const sys::Platform& p, int port) {
    const std::uint8_t n = static_cast<std::uint8_t>(port);
    if (n < 1 || n > 8) return;
    Library lib(p);
    if (!lib.Loaded()) return;
    if (!lib.Has("OpenDeviceX") || !lib.Has("uWrite")) {
        Say(p, "open function error");
        return;
    }
    if (!lib.Has("CloseDevice")) return;

    int device = 0;
    for (int i = 0; i < 8 && !Valid(device); ++i) device = p.usb.OpenDeviceX(lib.Handle(), i);
    if (!Valid(device)) {
        Say(p, "Can not find USB device.");
        return;
    }
    std::uint8_t command[10];
    std::memcpy(command, kSetIdentityPrefix, sizeof kSetIdentityPrefix);
    command[9] = static_cast<std::uint8_t>(n - 1);
    if (p.usb.uWrite(lib.Handle(), device, 0, command, sizeof command) <= 0) Say(p, "write ID error");
    p.usb.CloseDevice(lib.Handle(), device);
}
