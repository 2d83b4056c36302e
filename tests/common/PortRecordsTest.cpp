// The USB port records and the serial settings, read back from the registry
// and WIN.INI: the real ones under Wine, the simulated ones on the host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/TestMachine.h"
#include "ports/SerialSettings.h"
#include "ports/UsbPortNaming.h"

namespace {

const char kKorvale[] = "SOFTWARE\\KORVALE";
// The maker's keys, as the USB port monitor and the tools that read them know them.
const char kPortName[] = "SOFTWARE\\KORVALE\\PORTNAME\\";
const char kPrinterPort[] = "SOFTWARE\\KORVALE\\PRINTERPORT\\";
const char kInstallPrinter[] = "SOFTWARE\\KORVALE\\INSTALLPRINTER\\";

class PortRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine = TestMachine::Create();
        m_machine->DeleteTree(sys::kHKeyLocalMachine, kKorvale);
        m_dir = m_machine->TempDir();
        m_machine->SetProgramPath(m_dir + "\\setup.exe");
    }
    void TearDown() override { m_machine->DeleteTree(sys::kHKeyLocalMachine, kKorvale); }
    sys::Platform P() { return m_machine->platform(); }
    void List(const std::string& entries) {
        m_machine->WriteFile(m_dir + "\\DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]\r\n" + entries);
    }
    // A DWORD under HKLM, or -1 when there is none.
    long long Dword(const std::string& key, const std::string& name) {
        sys::RegHandle h = 0;
        if (P().registry.OpenKey(sys::kHKeyLocalMachine, key.c_str(), &h) != 0) return -1;
        std::uint32_t value = 0, size = 4, type = 0;
        long rc = P().registry.QueryValue(h, name.c_str(), &type, &value, &size);
        P().registry.CloseKey(h);
        return rc == 0 && type == 4 /* REG_DWORD */ ? static_cast<long long>(value) : -1;
    }
    void SetDword(const std::string& key, const std::string& name, std::uint32_t value) {
        sys::RegHandle h = 0;
        ASSERT_EQ(P().registry.CreateKey(sys::kHKeyLocalMachine, key.c_str(), nullptr, &h), 0);
        P().registry.SetValue(h, name.c_str(), sys::kRegDword, &value, 4);
        P().registry.CloseKey(h);
    }
    std::uint32_t ValueCount(const std::string& key) {
        sys::RegHandle h = 0;
        if (P().registry.OpenKey(sys::kHKeyLocalMachine, key.c_str(), &h) != 0) return 0;
        std::uint32_t n = 0;
        char name[300];
        for (std::uint32_t len = sizeof name; P().registry.EnumValue(h, n, name, &len, nullptr) == 0; len = sizeof name)
            ++n;
        P().registry.CloseKey(h);
        return n;
    }

    std::unique_ptr<TestMachine> m_machine;
    std::string m_dir;
};

TEST_F(PortRecordsTest, TheGivenPortGetsItsIndexAndListedPortsTheirDefaults) {
    List("PRNCOUNT=4\r\n0=USB_MTR-R80_1\r\n1=USB_MTR-Q5_1\r\n2=USB_MTR-Q5_3\r\n3=USB_MTR-Q5_3\r\n");
    SetDword(kPrinterPort, "USB_MTR-Q5_1", 0);
    SetDword(kPrinterPort, "D3", 9);
    NameUsbPort(P(), "USB_MTR-Q5_3");
    EXPECT_EQ(Dword(kPortName, "USB_MTR-Q5_3"), 2);  // the lower of two listings
    EXPECT_EQ(ValueCount(kPortName), 1u);
    for (int d = 1; d <= 8; ++d) EXPECT_EQ(Dword(kPrinterPort, "D" + std::to_string(d)), 0) << d;
    EXPECT_EQ(Dword(kPrinterPort, "USB_MTR-R80_1"), 255);
    EXPECT_EQ(Dword(kPrinterPort, "USB_MTR-Q5_1"), 0);
    EXPECT_EQ(Dword(kPrinterPort, "USB_MTR-Q5_3"), 255);
}

TEST_F(PortRecordsTest, WithoutAListOnlyTheDeviceSlotsAreReset) {
    NameUsbPort(P(), "USB_MTR-Q5_1");
    EXPECT_EQ(Dword(kPrinterPort, "D8"), 0);
    EXPECT_EQ(ValueCount(kPrinterPort), 8u);
    sys::RegHandle h = 0;
    ASSERT_EQ(P().registry.OpenKey(sys::kHKeyLocalMachine, kPortName, &h), 0);
    P().registry.CloseKey(h);
    EXPECT_EQ(ValueCount(kPortName), 0u);
    EXPECT_EQ(P().registry.OpenKey(sys::kHKeyLocalMachine, kInstallPrinter, &h), sys::kErrorFileNotFound);
}

TEST_F(PortRecordsTest, ListedNamesAreReadCutTo29Characters) {
    // 31 characters in the file; the records know the first 29.
    List("PRNCOUNT=2\r\n0=USB_A_1\r\n1=USB_A_VERY_LONG_MODEL_NAME_XY_1\r\n");
    const std::string cut = "USB_A_VERY_LONG_MODEL_NAME_XY";
    ASSERT_EQ(cut.size(), 29u);
    NameUsbPort(P(), cut);
    EXPECT_EQ(Dword(kPortName, cut), 1);
    EXPECT_EQ(Dword(kPrinterPort, cut), 255);
    EXPECT_EQ(Dword(kPrinterPort, "USB_A_VERY_LONG_MODEL_NAME_XY_1"), -1);
}

TEST_F(PortRecordsTest, RecordedPrintersGetTheirPortsIndexed) {
    List("PRNCOUNT=5\r\n0=USB_ABC\r\n1=USB_MTR-Q5_1\r\n2=USB_XY_\r\n3=USB_MTR-Q5_3\r\n4=USB_MTR-E80_1\r\n");
    SetDword(kInstallPrinter, "MTR-Q5(U) 3", 1);
    SetDword(kInstallPrinter, "MTR-Q5(U) 1", 1);
    SetDword(kInstallPrinter, "ABC", 1);
    SetDword(kInstallPrinter, "XY(U", 1);
    NameUsbPort(P(), "USB_MTR-E80_1");
    EXPECT_EQ(Dword(kPortName, "USB_MTR-E80_1"), 4);
    EXPECT_EQ(Dword(kPortName, "USB_MTR-Q5_3"), 3);
    EXPECT_EQ(Dword(kPortName, "USB_MTR-Q5_1"), 1);
    EXPECT_EQ(Dword(kPortName, "USB_ABC"), 0);
    EXPECT_EQ(Dword(kPortName, "USB_XY_"), 2);
}

TEST_F(PortRecordsTest, SerialSettingsOnTheNtFamilyGoUnderThePortsKey) {
    sys::OsVersion v;
    std::uint32_t error = 0;
    ASSERT_TRUE(P().system.Version(&v, &error));
    if (v.platformId != 2) GTEST_SKIP() << "the Ports key belongs to the NT family";
    SerialSettings s{115200, 7, 1, 'e', 'x'};
    WriteSerialSettingsNT(P(), "COM5:", s);
    sys::RegHandle h = 0;
    ASSERT_EQ(P().registry.OpenKey(sys::kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", &h),
              0);
    char text[64] = {};
    std::uint32_t size = sizeof text, type = 0;
    ASSERT_EQ(P().registry.QueryValue(h, "COM5:", &type, text, &size), 0);
    P().registry.CloseKey(h);
    EXPECT_EQ(type, sys::kRegSz);
    EXPECT_STREQ(text, "115200,e,7,1,x");
    EXPECT_EQ(size, 15u);
}

TEST_F(PortRecordsTest, Windows98GetsTheDcbInItsSecondSerialInstanceAndTheWinIniEntry) {
    const std::string classKey = "System\\CurrentControlSet\\Services\\Class\\Ports";
    m_machine->DeleteTree(sys::kHKeyLocalMachine, classKey);
    for (int i = 0; i < 4; ++i) {
        sys::RegHandle h = 0;
        ASSERT_EQ(P().registry.CreateKey(sys::kHKeyLocalMachine, (classKey + "\\000" + std::to_string(i)).c_str(),
                                         nullptr, &h),
                  0);
        const unsigned char subClass[1] = {static_cast<unsigned char>(i % 2)};  // 0001 and 0003 are serial
        P().registry.SetValue(h, "PortSubClass", sys::kRegBinary, subClass, 1);
        P().registry.CloseKey(h);
    }
    SerialSettings s{9600, 8, 1.5, 's', 'p'};
    WriteSerialSettingsWin98(P(), 2, "COM2:", s);

    // 9600 baud, flags fBinary, fParity, fOutxCtsFlow, fErrorChar and
    // fRtsControl = RTS_CONTROL_ENABLE, 8 data bits, SPACEPARITY, ONE5STOPBITS.
    const unsigned char expected[28] = {28, 0, 0, 0, 0x80, 0x25, 0, 0, 0x07, 0x14, 0, 0, 0, 0,
                                        0,  0, 0, 0, 8,    4,    1, 0, 0,    0,    0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        sys::RegHandle h = 0;
        ASSERT_EQ(P().registry.OpenKey(sys::kHKeyLocalMachine, (classKey + "\\000" + std::to_string(i)).c_str(), &h), 0);
        unsigned char dcb[64] = {};
        std::uint32_t size = sizeof dcb, type = 99;
        long rc = P().registry.QueryValue(h, "DCB", &type, dcb, &size);
        P().registry.CloseKey(h);
        if (i == 3) {
            ASSERT_EQ(rc, 0);
            EXPECT_EQ(type, sys::kRegNone);
            ASSERT_EQ(size, 28u);
            EXPECT_EQ(std::vector<unsigned char>(dcb, dcb + 28), std::vector<unsigned char>(expected, expected + 28));
        } else {
            EXPECT_EQ(rc, sys::kErrorFileNotFound) << i;
        }
    }
    char text[64];
    P().system.GetProfileStringA("Ports", "COM2:", "", text, sizeof text);
    EXPECT_STREQ(text, "9600,s,8,1.5,p");
    std::uint32_t error = 0;
    P().system.WriteProfileStringA("Ports", "COM2:", nullptr, &error);
    m_machine->DeleteTree(sys::kHKeyLocalMachine, classKey);
}

}  // namespace
