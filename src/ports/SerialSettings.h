// A serial port's line settings: the letters they are carried in, the
// values the wizard and the installation start from, and storing them where
// Windows keeps its defaults.
#pragma once

#include <string>
#include <vector>

#include "sys/Platform.h"
#include "sys/Types.h"

// Flow control, by the letter the settings text writes.
constexpr char kFlowXonXoff = 'x';
constexpr char kFlowHardware = 'p';
constexpr char kFlowNone = ' ';

// Parity is carried as the first letter of Even, Mark, None, Odd or Space.
// The port page holds these until the user picks from its lists, although
// the lists show parity None and flow control None: a lower-case 'n' (an
// entry picked gives 'N') and hardware flow control.
constexpr char kUnpickedParity = 'n';
constexpr char kUnpickedFlowControl = kFlowHardware;
// The installation's own, where no page chose (an answers file without
// them): parity None and no flow control.
constexpr char kDefaultParity = 'N';
constexpr char kDefaultFlowControl = kFlowNone;

struct SerialSettings {
    int baudRate = 9600;
    int dataBits = 8;
    double stopBits = 1;
    char parity = 'n';  // 'e', 'o', 'n', 'm', 's'
    char flow = kFlowNone;
};

// The rates of the port page's baud list (IDC_BAUD_LIST), in list order.
const std::vector<int>& BaudListRates();

// The baud list's entry for a configured rate: its position for the listed
// rates but 38400, position 7 (38400) for every other value.
int BaudListIndex(int baudRate);

// "9600,n,8,1,p"; 1.5 stop bits are written "1.5".
std::string SerialSettingsText(const SerialSettings& s);
// The 28-byte device-control block of Windows 98/Me.
sys::Dcb SerialDcb(const SerialSettings& s);

// Windows 98/Me: the DCB into the serial device-class instance of COM1 or
// COM2, the [Ports] entry of WIN.INI, the broadcast and the profile flush.
void WriteSerialSettingsWin98(const sys::Platform& platform, int portNumber, const std::string& portName,
                              const SerialSettings& settings);
// NT family: the settings text under the system's Ports key.
void WriteSerialSettingsNT(const sys::Platform& platform, const std::string& portName, const SerialSettings& settings);
