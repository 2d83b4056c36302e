#include "sys/sim/SimUsb.h"

#include <cstring>

#include "sys/sim/WinText.h"

namespace sys::sim {

namespace {
constexpr int kHandleBase = 0x100;
// The command the printer's firmware knows for setting its identity, followed
// by the new identity: written out here as the printer has it, so that a
// wrong byte in the installer's command is not taken.
const std::uint8_t kIdentityCommand[9] = {0x1B, 0x1D, 0x49, 0x44, 0x4B, 0x52, 0x03, 0x00, 0x01};
}  // namespace

LibraryHandle SimUsb::LoadLibraryA(const char* name, std::uint32_t* error) {
    if ((*error = m_faults.Take("LoadLibraryA"))) return 0;
    // Only the maker's library is there, under its own name.
    if (!installed || !name || !EqualNoCase(name, "KrUsbInt.dll")) {
        *error = 126;  // ERROR_MOD_NOT_FOUND
        return 0;
    }
    ++m_loaded;
    return 0x7700;
}

bool SimUsb::HasExport(LibraryHandle /*library*/, const char* name) {
    // The library's four exports, by their exact names (GetProcAddress
    // compares case-sensitively).
    static const char* const kExports[] = {"OpenDeviceX", "CloseDevice", "GetDescriptor", "uWrite"};
    bool exported = false;
    for (const char* e : kExports) exported = exported || std::strcmp(e, name) == 0;
    return exported && !missingExports.count(name);
}

void SimUsb::FreeLibrary(LibraryHandle /*library*/) { --m_loaded; }

int SimUsb::OpenDeviceX(LibraryHandle /*library*/, int index) {
    if (index < 0 || index >= static_cast<int>(printers.size())) return -1;
    m_open.insert(kHandleBase + index);
    return kHandleBase + index;
}

void SimUsb::CloseDevice(LibraryHandle /*library*/, int handle) {
    auto it = m_open.find(handle);
    if (it != m_open.end()) m_open.erase(it);
}

int SimUsb::GetDescriptor(LibraryHandle /*library*/, int handle, std::uint8_t* buffer20) {
    if (m_faults.Take("GetDescriptor") || !m_open.count(handle)) return 0;
    const std::uint16_t id = printers[static_cast<std::size_t>(handle - kHandleBase)];
    std::memset(buffer20, 0, 20);
    buffer20[0] = 18;  // bLength
    buffer20[1] = 1;   // device descriptor
    buffer20[12] = static_cast<std::uint8_t>(id & 0xFF);
    buffer20[13] = static_cast<std::uint8_t>(id >> 8);
    return 1;
}

int SimUsb::uWrite(LibraryHandle /*library*/, int handle, int /*zero*/, const std::uint8_t* data, int length) {
    if (m_faults.Take("uWrite") || !m_open.count(handle) || length <= 0) return 0;
    written.emplace_back(data, data + length);
    // The identity command takes effect as after the printer's reset.
    if (length == 10 && std::memcmp(data, kIdentityCommand, sizeof kIdentityCommand) == 0)
        printers[static_cast<std::size_t>(handle - kHandleBase)] = data[9];
    return length;
}

}  // namespace sys::sim
