#include "ports/UsbPortNaming.h"

#include <algorithm>
#include <vector>

#include "config/ConfigInt.h"
#include "config/ConfigPaths.h"
#include "config/ConfigReader.h"
#include "sys/RegistryKey.h"

const char kFourPortModel[] = "MTR-Q5";
const char kPortNameKey[] = "SOFTWARE\\KORVALE\\PORTNAME\\";
const char kPrinterPortKey[] = "SOFTWARE\\KORVALE\\PRINTERPORT\\";
const char kInstallPrinterKey[] = "SOFTWARE\\KORVALE\\INSTALLPRINTER\\";

namespace {

// The listed USB port names of setup.ini, read afresh on every walk.
class PortList {
public:
    explicit PortList(const sys::Platform& p) : m_p(p), m_file(ConfigPath(p.files, kMainConfigName)) {
        m_count = std::min<std::int32_t>(ParseConfigInt(Read("PRNCOUNT", 199)), kMaxConfigEntries);
    }
    int Count() const { return m_count; }
    std::string Name(int i) const { return Read(std::to_string(i).c_str(), 29); }
    // The first index listing `name` (exact comparison), or -1.
    int IndexOf(const std::string& name) const {
        for (int i = 0; i < m_count; ++i)
            if (Name(i) == name) return i;
        return -1;
    }

private:
    std::string Read(const char* key, std::uint32_t limit) const {
        std::vector<char> buffer(limit + 1, '\0');
        std::uint32_t n = m_p.profile.GetPrivateString("SUPPORTED-USB-DEVICE", key, "0", buffer.data(), limit + 1,
                                                       m_file.c_str());
        return sys::ProfileText(buffer.data(), n > limit ? limit : n);
    }
    const sys::Platform& m_p;
    std::string m_file;
    int m_count = 0;
};

// Opens a key, creating it first when it does not open.
bool OpenOrCreate(RegistryKey& key, sys::IRegistry& registry, const char* path) {
    if (key.Open(sys::kHKeyLocalMachine, path)) return true;
    RegistryKey::CreateKey(registry, sys::kHKeyLocalMachine, path);
    return key.Open(sys::kHKeyLocalMachine, path);
}

}  // namespace

std::string UsbPortOfPrinter(const std::string& printerName) {
    std::size_t paren = printerName.find('(');
    if (paren == std::string::npos) return "USB_" + printerName;
    std::string port = "USB_" + printerName.substr(0, paren) + "_";
    if (paren + 4 < printerName.size()) port += printerName[paren + 4];
    return port;
}

void NameUsbPort(const sys::Platform& p, const std::string& portName) {
    PortList list(p);
    RegistryKey key(p.registry);

    // The given port's position in the list.
    OpenOrCreate(key, p.registry, kPortNameKey);
    int index = list.IndexOf(portName);
    if (index >= 0) key.SetDWORD(portName.c_str(), static_cast<std::uint32_t>(index));
    key.Close();

    // The eight device slots.
    OpenOrCreate(key, p.registry, kPrinterPortKey);
    for (int d = 1; d <= 8; ++d) key.SetDWORD(("D" + std::to_string(d)).c_str(), 0);
    key.Close();

    // Listed ports without a value get 255; existing values stay.
    if (key.Open(sys::kHKeyLocalMachine, kPrinterPortKey)) {
        for (int i = 0; i < list.Count(); ++i) {
            const std::string name = list.Name(i);
            std::uint32_t value = 0;
            if (!key.QueryDWORD(name.c_str(), &value)) key.SetDWORD(name.c_str(), 255);
        }
    } else if (OpenOrCreate(key, p.registry, kPrinterPortKey)) {
        for (int i = 0; i < list.Count(); ++i) {
            const std::string name = list.Name(i);
            if (name.find("USB") == std::string::npos) break;
            key.SetDWORD(name.c_str(), 255);
        }
    }
    key.Close();

    // The ports of printers already recorded as installed.
    RegistryKey installed(p.registry);
    if (!installed.Open(sys::kHKeyLocalMachine, kInstallPrinterKey)) return;
    for (std::uint32_t i = 0;; ++i) {
        char name[200] = {};
        std::uint32_t length = sizeof name;
        if (installed.EnumValue(i, name, &length, nullptr) != sys::kErrorSuccess) break;
        const std::string derived = UsbPortOfPrinter(name);
        int at = list.IndexOf(derived);
        if (at < 0) continue;
        RegistryKey ports(p.registry);
        if (ports.Open(sys::kHKeyLocalMachine, kPortNameKey)) ports.SetDWORD(derived.c_str(), static_cast<std::uint32_t>(at));
    }
}
