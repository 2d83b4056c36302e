// Fuzz target: reading and setting the USB printer's identity.
//
// The first byte chooses the library.  Even: the simulated machine's library
// (SimUsb), with the printers, missing exports, failing calls and the port
// to write taken from the input; the results must be those the identity
// functions promise for that machine.  Odd: a library whose every answer
// (load, exports, the handle of each index, the descriptor's result and
// bytes, the write's result) is the next bytes of the input; whatever it
// answers, the functions must give a result in range, close every device
// they opened, release the library they loaded, call the device functions
// only with a loaded library and an open handle, and send the one identity
// command.
#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "FuzzSupport.h"
#include "ports/UsbIdentity.h"
#include "resource.h"
#include "sys/sim/SimMachine.h"

namespace {

const char* const kExports[4] = {"OpenDeviceX", "GetDescriptor", "CloseDevice", "uWrite"};

std::vector<std::uint8_t> IdentityCommand(int port) {
    std::vector<std::uint8_t> command(kSetIdentityPrefix, kSetIdentityPrefix + 9);
    command.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(port) - 1));
    return command;
}

void SimulatedLibrary(fuzz::ByteStream& in) {
    sys::sim::SimMachine m;
    const std::size_t count = in.Byte() % 10;  // one more than the functions look at
    for (std::size_t i = 0; i < count; ++i) m.usb.printers.push_back(in.U16());
    const std::uint8_t missing = in.Byte();
    for (int i = 0; i < 4; ++i)
        if (missing & (1 << i)) m.usb.missingExports.insert(kExports[i]);
    const std::uint8_t faults = in.Byte();
    m.usb.installed = !(faults & 1);
    if (faults & 2) m.faults.Fail("LoadLibraryA", 5, -1);
    if (faults & 4) m.faults.Fail("GetDescriptor", 31, -1);
    if (faults & 8) m.faults.Fail("uWrite", 31, -1);
    const int port = static_cast<std::int16_t>(in.U16());
    const sys::Platform p = m.platform();

    const bool loads = m.usb.installed && !(faults & 2);
    const bool readable = !m.usb.missingExports.count("OpenDeviceX") && !m.usb.missingExports.count("GetDescriptor") &&
                          !m.usb.missingExports.count("CloseDevice");
    int expected = -1;
    if (loads && readable) {
        if (count >= 2)
            expected = -2;
        else if (count == 1 && !(faults & 4))
            expected = m.usb.printers[0];
    }
    const int identity = ReadUsbIdentity(p);
    FUZZ_CHECK(identity == expected);
    FUZZ_CHECK(m.usb.openDevices() == 0 && m.usb.loadedCount() == 0);
    if (!loads) FUZZ_CHECK(m.messages.Log() == std::vector<std::string>{"T:Can not load KrUsbInt.dll"});
    if (identity == -2) FUZZ_CHECK(m.messages.shown.size() == 1 && m.messages.shown[0].id == IDS_ONE_PRINTER_ONLY);

    const std::vector<std::uint16_t> before = m.usb.printers;
    m.messages.shown.clear();
    WriteUsbIdentity(p, port);
    FUZZ_CHECK(m.usb.openDevices() == 0 && m.usb.loadedCount() == 0);
    const std::uint8_t n = static_cast<std::uint8_t>(port);
    const bool writable = n >= 1 && n <= 8 && loads && !m.usb.missingExports.count("OpenDeviceX") &&
                          !m.usb.missingExports.count("uWrite") && !m.usb.missingExports.count("CloseDevice") &&
                          count >= 1;
    std::vector<std::uint16_t> after = before;
    if (writable && !(faults & 8)) {
        // The first attached printer takes the new identity.
        after[0] = static_cast<std::uint16_t>(n - 1);
        FUZZ_CHECK(m.usb.written.size() == 1 && m.usb.written[0] == IdentityCommand(port));
        FUZZ_CHECK(m.messages.shown.empty());
    } else {
        FUZZ_CHECK(m.usb.written.empty());
        if (writable) FUZZ_CHECK(m.messages.Log() == std::vector<std::string>{"T:write ID error"});
    }
    FUZZ_CHECK(m.usb.printers == after);
}

// A library that answers from the input, and records how it is used.
class ScriptedUsb final : public sys::IUsbLibrary {
public:
    explicit ScriptedUsb(fuzz::ByteStream& in) : m_in(in) {}

    sys::LibraryHandle LoadLibraryA(const char* name, std::uint32_t* error) override {
        FUZZ_CHECK(std::strcmp(name, kUsbLibraryName) == 0);
        if (m_in.Byte() & 1) {
            *error = 126;
            return 0;
        }
        ++m_loaded;
        return 0x7700;
    }
    bool HasExport(sys::LibraryHandle library, const char* name) override {
        FUZZ_CHECK(library == 0x7700 && m_loaded == 1);
        (void)name;
        return (m_in.Byte() & 7) != 0;
    }
    void FreeLibrary(sys::LibraryHandle library) override {
        FUZZ_CHECK(library == 0x7700 && m_loaded == 1);
        // No device stays open past its library.
        FUZZ_CHECK(m_open.empty());
        --m_loaded;
    }
    int OpenDeviceX(sys::LibraryHandle library, int index) override {
        FUZZ_CHECK(library == 0x7700 && m_loaded == 1);
        FUZZ_CHECK(index >= 0 && index <= 7);
        int handle = 0;
        switch (m_in.Byte() & 3) {
            case 0: handle = 0; break;
            case 1: handle = -1; break;
            case 2: handle = 0x100 + index; break;
            default: handle = m_in.I32(); break;
        }
        if (handle != 0 && handle != -1) m_open.insert(handle);
        return handle;
    }
    void CloseDevice(sys::LibraryHandle library, int handle) override {
        FUZZ_CHECK(library == 0x7700 && m_loaded == 1);
        if (handle == 0 || handle == -1) return;
        auto it = m_open.find(handle);
        FUZZ_CHECK(it != m_open.end());
        m_open.erase(it);
    }
    int GetDescriptor(sys::LibraryHandle library, int handle, std::uint8_t* buffer20) override {
        FUZZ_CHECK(library == 0x7700 && m_loaded == 1 && m_open.count(handle));
        const int result = m_in.Byte() & 1 ? m_in.I32() | 1 : 0;
        for (int i = 0; i < 20; ++i) buffer20[i] = m_in.Byte();
        std::memcpy(descriptor, buffer20, 20);
        descriptorRead = true;
        descriptorResult = result;
        return result;
    }
    int uWrite(sys::LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) override {
        FUZZ_CHECK(library == 0x7700 && m_loaded == 1 && m_open.count(handle));
        FUZZ_CHECK(zero == 0 && length == 10);
        written.emplace_back(data, data + length);
        return m_in.I32();
    }

    int loaded() const { return m_loaded; }
    bool allClosed() const { return m_open.empty(); }

    std::uint8_t descriptor[20] = {};
    bool descriptorRead = false;
    int descriptorResult = 0;
    std::vector<std::vector<std::uint8_t>> written;

private:
    fuzz::ByteStream& m_in;
    int m_loaded = 0;
    std::multiset<int> m_open;
};

void ScriptedLibrary(fuzz::ByteStream& in) {
    ScriptedUsb usb(in);
    sys::sim::SimMachine m;
    const sys::Platform base = m.platform();
    const sys::Platform p{base.registry, base.profile, base.files, base.spooler,
                          base.services, base.system,  base.messages, usb};
    const int port = static_cast<std::int16_t>(in.U16());

    const int identity = ReadUsbIdentity(p);
    FUZZ_CHECK(identity >= -2 && identity <= 0xFFFF);
    FUZZ_CHECK(usb.loaded() == 0 && usb.allClosed());
    if (identity >= 0) {
        // bcdDevice of the descriptor the library gave.
        FUZZ_CHECK(usb.descriptorRead && usb.descriptorResult != 0);
        FUZZ_CHECK(identity == (usb.descriptor[12] | (usb.descriptor[13] << 8)));
    }
    FUZZ_CHECK(m.messages.shown.size() <= 1);

    WriteUsbIdentity(p, port);
    FUZZ_CHECK(usb.loaded() == 0 && usb.allClosed());
    const std::uint8_t n = static_cast<std::uint8_t>(port);
    FUZZ_CHECK(usb.written.size() <= 1);
    if (!usb.written.empty()) {
        FUZZ_CHECK(n >= 1 && n <= 8);
        FUZZ_CHECK(usb.written[0] == IdentityCommand(port));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteStream in(data, size);
    if (in.Byte() & 1)
        ScriptedLibrary(in);
    else
        SimulatedLibrary(in);
    return 0;
}
