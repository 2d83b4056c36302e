// Serial settings texts and device-control blocks, and what only the
// simulated machine shows of the port records.
#include <gtest/gtest.h>

#include <chrono>

#include <cstring>

#include "ports/SerialSettings.h"
#include "ports/UsbPortNaming.h"
#include "sys/RegistryKey.h"
#include "sys/sim/SimMachine.h"

TEST(SerialSettings, TextsForEachStopBitAndFlow) {
    EXPECT_EQ(SerialSettingsText({9600, 8, 1, 'n', 'p'}), "9600,n,8,1,p");
    EXPECT_EQ(SerialSettingsText({9600, 8, 1.5, 'n', 'p'}), "9600,n,8,1.5,p");
    EXPECT_EQ(SerialSettingsText({19200, 7, 2, 'o', 'x'}), "19200,o,7,2,x");
    EXPECT_EQ(SerialSettingsText({110, 5, 1, 'm', ' '}), "110,m,5,1, ");
}

TEST(SerialSettings, DeviceControlBlockFields) {
    sys::Dcb none = SerialDcb({9600, 8, 1, 'n', ' '});
    EXPECT_EQ(none.DCBlength, 28u);
    EXPECT_EQ(none.BaudRate, 9600u);
    EXPECT_EQ(none.fBinary, 1u);
    EXPECT_EQ(none.fParity + none.fErrorChar + none.fOutxCtsFlow + none.fRtsControl + none.fOutX + none.fInX, 0u);
    EXPECT_EQ(none.XonChar + none.XoffChar, 0);
    EXPECT_EQ(none.ByteSize, 8);
    EXPECT_EQ(none.Parity, 0);
    EXPECT_EQ(none.StopBits, 0);

    sys::Dcb space = SerialDcb({115200, 7, 1.5, 's', 'p'});
    EXPECT_EQ(space.fParity, 1u);
    EXPECT_EQ(space.fErrorChar, 1u);
    EXPECT_EQ(space.Parity, 4);
    EXPECT_EQ(space.StopBits, 1);
    EXPECT_EQ(space.fOutxCtsFlow, 1u);
    EXPECT_EQ(space.fRtsControl, 1u);

    sys::Dcb xon = SerialDcb({4800, 6, 2, 'e', 'x'});
    EXPECT_EQ(xon.Parity, 2);
    EXPECT_EQ(xon.StopBits, 2);
    EXPECT_EQ(xon.fOutX + xon.fInX, 2u);
    EXPECT_EQ(xon.XonChar, 0x11);
    EXPECT_EQ(xon.XoffChar, 0x13);
    EXPECT_EQ(SerialDcb({1, 8, 1, 'o', ' '}).Parity, 1);
    EXPECT_EQ(SerialDcb({1, 8, 1, 'm', ' '}).Parity, 3);
    // Only lower-case letters count; other stop bits count as one.
    EXPECT_EQ(SerialDcb({1, 8, 3, 'E', ' '}).Parity, 0);
    EXPECT_EQ(SerialDcb({1, 8, 3, 'E', ' '}).StopBits, 0);
    EXPECT_EQ(SerialDcb({1, 8, 3, 'E', ' '}).fParity, 0u);
}

TEST(SerialSettings, Windows98WithoutSerialInstanceStillWritesWinIniAndBroadcasts) {
    sys::sim::SimMachine m;
    m.SetWindows("win98");
    WriteSerialSettingsWin98(m.platform(), 1, "COM1:", {9600, 8, 1, 'n', ' '});
    char text[64];
    m.system.GetProfileStringA("Ports", "COM1:", "", text, sizeof text);
    // The text ends with a blank for no flow control; reading WIN.INI back
    // trims it, as Windows does.
    EXPECT_STREQ(text, "9600,n,8,1,");
    EXPECT_EQ(m.system.notifications, std::vector<std::string>{"Ports"});
    EXPECT_EQ(m.system.profileFlushes, 1);
    EXPECT_FALSE(m.registry.KeyExists("HKLM\\System\\CurrentControlSet\\Services\\Class\\Ports"));
}

TEST(SerialSettings, OtherPortNumbersWriteNoDcb) {
    sys::sim::SimMachine m;
    m.SetWindows("win98");
    m.registry.WriteValue("HKLM\\System\\CurrentControlSet\\Services\\Class\\Ports\\0000", "PortSubClass", sys::kRegBinary,
                          std::string("\x01", 1));
    WriteSerialSettingsWin98(m.platform(), 3, "COM3:", {9600, 8, 1, 'n', ' '});
    EXPECT_FALSE(m.registry.ReadValue("HKLM\\System\\CurrentControlSet\\Services\\Class\\Ports\\0000", "DCB", nullptr,
                                      nullptr));
    WriteSerialSettingsWin98(m.platform(), 1, "COM1:", {9600, 8, 1, 'n', ' '});
    EXPECT_TRUE(m.registry.ReadValue("HKLM\\System\\CurrentControlSet\\Services\\Class\\Ports\\0000", "DCB", nullptr,
                                     nullptr));
}

TEST(SerialSettings, OnlyCom1AndCom2GetADcbWhateverInstancesThereAre) {
    sys::sim::SimMachine m;
    m.SetWindows("win98");
    const std::string classKey = "HKLM\\System\\CurrentControlSet\\Services\\Class\\Ports\\000";
    for (int i = 0; i < 4; ++i) m.registry.WriteValue(classKey + std::to_string(i), "PortSubClass", sys::kRegBinary, "\x01");
    for (int port = 3; port <= 4; ++port) {
        WriteSerialSettingsWin98(m.platform(), port, "COM" + std::to_string(port) + ":", {9600, 8, 1, 'n', ' '});
        for (int i = 0; i < 4; ++i)
            EXPECT_FALSE(m.registry.ReadValue(classKey + std::to_string(i), "DCB", nullptr, nullptr)) << port << i;
    }
    // COM2 takes the second serial instance.
    WriteSerialSettingsWin98(m.platform(), 2, "COM2:", {9600, 8, 1, 'n', ' '});
    EXPECT_FALSE(m.registry.ReadValue(classKey + "0", "DCB", nullptr, nullptr));
    EXPECT_TRUE(m.registry.ReadValue(classKey + "1", "DCB", nullptr, nullptr));
    EXPECT_FALSE(m.registry.ReadValue(classKey + "2", "DCB", nullptr, nullptr));
}

TEST(UsbPortNaming, PrinterNamesToPorts) {
    EXPECT_EQ(UsbPortOfPrinter("MTR-Q5(U) 3"), "USB_MTR-Q5_3");
    EXPECT_EQ(UsbPortOfPrinter("ABC"), "USB_ABC");
    EXPECT_EQ(UsbPortOfPrinter("ABC(U"), "USB_ABC_");
    EXPECT_EQ(UsbPortOfPrinter("A(U) 1(2)"), "USB_A_1");
}

TEST(UsbPortNaming, ALongRecordedNameEndsTheEnumeration) {
    sys::sim::SimMachine m;
    m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]\r\nPRNCOUNT=2\r\n0=USB_A_1\r\n1=USB_B_1\r\n");
    const std::string key = "HKLM\\SOFTWARE\\KORVALE\\INSTALLPRINTER";
    m.registry.WriteValue(key, "A(U) 1", sys::kRegDword, std::string(4, '\0'));
    m.registry.WriteValue(key, std::string(200, 'L'), sys::kRegDword, std::string(4, '\0'));
    m.registry.WriteValue(key, "B(U) 1", sys::kRegDword, std::string(4, '\0'));
    NameUsbPort(m.platform(), "USB_X_1");
    EXPECT_TRUE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PORTNAME", "USB_A_1", nullptr, nullptr));
    EXPECT_FALSE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PORTNAME", "USB_B_1", nullptr, nullptr));
    EXPECT_EQ(m.registry.OpenHandleCount(), 0u);
}

// PRNCOUNT=INT32_MAX: the naming walks 100,000 names at the most and ends.
TEST(UsbPortNaming, AHugePortCountEnds) {
    sys::sim::SimMachine m;
    m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini",
                   "[SUPPORTED-USB-DEVICE]\r\nPRNCOUNT=2147483647\r\n0=USB_A_1\r\n");
    const auto t0 = std::chrono::steady_clock::now();
    NameUsbPort(m.platform(), "USB_A_1");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20));
    EXPECT_EQ(m.registry.OpenHandleCount(), 0u);
}

TEST(UsbPortNaming, WhenThePortKeyWillNotOpenTheUsbNamesAreSetUpToTheFirstOther) {
    sys::sim::SimMachine m;
    m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini",
                   "[SUPPORTED-USB-DEVICE]\r\nPRNCOUNT=3\r\n0=USB_A_1\r\n1=LPT_X\r\n2=USB_B_1\r\n");
    sys::RegHandle h = 0;
    m.registry.CreateKey(sys::kHKeyLocalMachine, "SOFTWARE\\KORVALE\\PRINTERPORT", nullptr, &h);
    m.registry.CloseKey(h);
    m.registry.CreateKey(sys::kHKeyLocalMachine, "SOFTWARE\\KORVALE\\PORTNAME", nullptr, &h);
    m.registry.CloseKey(h);
    // Steps 3 and 4 open their keys; the first open of step 5 fails.
    m.faults.Fail("RegOpenKeyExA", 5, 1, 2);
    NameUsbPort(m.platform(), "USB_A_1");
    EXPECT_TRUE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PRINTERPORT", "USB_A_1", nullptr, nullptr));
    EXPECT_FALSE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PRINTERPORT", "LPT_X", nullptr, nullptr));
    EXPECT_FALSE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PRINTERPORT", "USB_B_1", nullptr, nullptr));
}
