#include "ports/SerialSettings.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "sys/RegistryKey.h"

namespace {
bool HasParity(char p) { return p == 'e' || p == 'o' || p == 'm' || p == 's'; }

// The baud list's entries, in list order.
const int kBaudRates[] = {110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kDefaultBaudIndex = 7;  // 38400
}  // namespace

const std::vector<int>& BaudListRates() {
    static const std::vector<int> rates(std::begin(kBaudRates), std::end(kBaudRates));
    return rates;
}

int BaudListIndex(int baudRate) {
    for (int i = 0; i < static_cast<int>(std::size(kBaudRates)); ++i)
        if (kBaudRates[i] == baudRate) return i;
    return kDefaultBaudIndex;
}

std::string SerialSettingsText(const SerialSettings& s) {
    char text[64];
    std::snprintf(text, sizeof text, s.stopBits == 1.5 ? "%d,%c,%d,%.1f,%c" : "%d,%c,%d,%.0f,%c", s.baudRate,
                  s.parity, s.dataBits, s.stopBits, s.flow);
    return text;
}

sys::Dcb SerialDcb(const SerialSettings& s) {
    sys::Dcb dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = static_cast<std::uint32_t>(s.baudRate);
    dcb.fBinary = 1;
    if (HasParity(s.parity)) {
        dcb.fParity = 1;
        dcb.fErrorChar = 1;
    }
    if (s.flow == kFlowHardware) {
        dcb.fOutxCtsFlow = 1;
        dcb.fRtsControl = 1;  // RTS_CONTROL_ENABLE
    }
    if (s.flow == kFlowXonXoff) {
        dcb.fOutX = 1;
        dcb.fInX = 1;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
    }
    dcb.ByteSize = static_cast<std::uint8_t>(s.dataBits & 0xFF);
    dcb.Parity = s.parity == 'e' ? 2 : s.parity == 'o' ? 1 : s.parity == 'm' ? 3 : s.parity == 's' ? 4 : 0;
    dcb.StopBits = s.stopBits == 1.5 ? 1 : s.stopBits == 2 ? 2 : 0;
    return dcb;
}

void WriteSerialSettingsWin98(const sys::Platform& p, int portNumber, const std::string& portName,
                              const SerialSettings& settings) {
    const sys::Dcb dcb = SerialDcb(settings);
    if (portNumber == 1 || portNumber == 2) {
        int serialSeen = 0;
        for (int i = 0; i < 4; ++i) {
            RegistryKey key(p.registry);
            const std::string path = "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(i);
            if (!key.Open(sys::kHKeyLocalMachine, path.c_str())) continue;
            unsigned char subClass[3] = {0, 0, 0};
            if (!key.QueryValue("PortSubClass", subClass, sizeof subClass) || subClass[0] != 1) continue;
            if (++serialSeen == portNumber) {
                key.SetValue("DCB", &dcb, sys::kRegNone, sizeof dcb);
                break;
            }
        }
    }
    std::uint32_t error = 0;
    p.system.WriteProfileStringA("Ports", portName.c_str(), SerialSettingsText(settings).c_str(), &error);
    p.system.NotifyWinIniChange("Ports");
    p.system.WriteProfileStringA(nullptr, nullptr, nullptr, &error);
}

void WriteSerialSettingsNT(const sys::Platform& p, const std::string& portName, const SerialSettings& settings) {
    RegistryKey key(p.registry);
    if (key.Open(sys::kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"))
        key.SetString(portName.c_str(), SerialSettingsText(settings).c_str());
}
