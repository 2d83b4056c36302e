// The configuration readers over INI files, through the real profile API
// under Wine and through the simulated machine on the host.
#include <gtest/gtest.h>

#include <string>

#include "common/TestMachine.h"
#include "config/ConfigReader.h"

namespace {

class ConfigReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine = TestMachine::Create();
        m_dir = m_machine->TempDir();
        m_machine->SetProgramPath(m_dir + "\\setup.exe");
    }
    void Main(const std::string& text) { m_machine->WriteFile(m_dir + "\\DRVCONFIG\\setup.ini", text); }
    void Class(const char* name, const std::string& text) {
        m_machine->WriteFile(m_dir + "\\DRVCONFIG\\" + name, text);
    }
    ConfigReader Reader(PrinterClass c = PrinterClass::Receipt) {
        ConfigReader r(m_machine->platform());
        r.printerClass = c;
        return r;
    }

    std::unique_ptr<TestMachine> m_machine;
    std::string m_dir;
};

const std::string kDevices =
    "[DEVICENAME]\r\n"
    "DEVICENUMBER=5\r\n"
    "DEVICENAME1=MTR-Q5-ReceiptPrinter\r\n"
    "DEVICENAME2=MTR-L58-LabelPrinter\r\n"
    "DEVICENAME3=Plain Printer\r\n"
    "DEVICENAME4=MTR-X-TicketPrinter-ReceiptPrinter\r\n"
    "DEVICENAME5=MTR-E80-EmbeddedPrinter\r\n"
    "DEFAULTNAME=2\r\n";

TEST_F(ConfigReaderTest, WithoutConfigurationEveryValueReadsZero) {
    ConfigReader r = Reader();
    EXPECT_EQ(r.ReadDeviceCount(), 0);
    std::string name;
    EXPECT_EQ(r.ReadDeviceName(1, name), -1);
    EXPECT_EQ(name, "0");
    EXPECT_EQ(r.ReadDefaultDevice(name), -1);
    EXPECT_EQ(r.ReadDriverVersion(), 0);
    EXPECT_EQ(r.ReadDdkFlag("M", TargetSystem::WinXP, 0), 0);
    DriverFileList files;
    r.ReadDriverFiles("M", TargetSystem::WinXP, files, 0);
    EXPECT_EQ(files.DriverPath, "0");
    EXPECT_EQ(files.DataOemuiDLL, "0");
}

TEST_F(ConfigReaderTest, DeviceListNamesAndClasses) {
    Main(kDevices);
    ConfigReader r = Reader();
    EXPECT_EQ(r.ReadDeviceCount(), 5);
    std::string name;
    EXPECT_EQ(r.ReadDeviceName(1, name), 0);
    EXPECT_EQ(name, "MTR-Q5");
    EXPECT_EQ(r.ReadDeviceName(2, name), 2);
    EXPECT_EQ(name, "MTR-L58");
    EXPECT_EQ(r.ReadDeviceName(3, name), -1);
    EXPECT_EQ(name, "Plain Printer");
    // The receipt suffix is tested first, whatever comes earlier in the text.
    EXPECT_EQ(r.ReadDeviceName(4, name), 0);
    EXPECT_EQ(name, "MTR-X-TicketPrinter");
    EXPECT_EQ(r.ReadDeviceName(5, name), 3);
    EXPECT_EQ(name, "MTR-E80");
    EXPECT_EQ(r.ReadDefaultDevice(name), 2);
    EXPECT_EQ(name, "MTR-L58");
}

TEST_F(ConfigReaderTest, MissingDefaultLooksUpIndexZero) {
    Main("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=A-ReceiptPrinter\r\n");
    std::string name;
    EXPECT_EQ(Reader().ReadDefaultDevice(name), -1);
    EXPECT_EQ(name, "0");
}

TEST_F(ConfigReaderTest, EachClassReadsItsOwnFile) {
    Class("setup_receipt.ini", "[M.PORT]\r\n[M.XP]\r\nSTDDriverPath=receipt.dll\r\n");
    Class("SETUP_TICKET.INI", "[M.XP]\r\nSTDDriverPath=ticket.dll\r\n");
    Class("setup_Lable.ini", "[M.XP]\r\nSTDDriverPath=label.dll\r\n");
    Class("setup_embedded.ini", "[M.XP]\r\nSTDDriverPath=embedded.dll\r\n");
    const char* expected[] = {"receipt.dll", "ticket.dll", "label.dll", "embedded.dll"};
    for (int c = 0; c < 4; ++c) {
        DriverFileList files;
        Reader(static_cast<PrinterClass>(c)).ReadDriverFiles("M", TargetSystem::WinXP, files, 0);
        EXPECT_EQ(files.DriverPath, expected[c]);
    }
}

const std::string kModel =
    "[M.98]\r\nSTDDriverPath=M98.DRV\r\nSTDDataFile=M98.DAT\r\n"
    "[M.NT]\r\nSTDDriverPath=mnt.dll\r\nGDI2KDDKDEV=1\r\nSTDDataFile=mnt.gpd\r\n"
    "[M.2K]\r\nSTDDriverPath=m2k.dll\r\n"
    "[M.XP]\r\n"
    "STDDriverPath=mxp.dll\r\nGDIDriverPath=mxpgdi.dll\r\n"
    "STDDataFile=mxp.gpd\r\nSTDConfigFile=mxpui.dll\r\nSTDHelpFile=mxp.hlp\r\n"
    "STDMonitorName=KR Monitor\r\nSTDMonitorDLLName=krmon.dll\r\n"
    "STDProcessorDLLName=0\r\nSTDPrintProcessor=WinPrint\r\nGDIPrintProcessor=KRPrint\r\n"
    "STDDataFileDLLName=mxpres.dll\r\nSTDDataOemuiDLL=0\r\nSTDDataOemuniDLL=oemuni.dll\r\n"
    "STDDataOemuniini=oemuni.ini\r\n"
    "GDI2KDDKDEV=1\r\nSTD2KDDKDEV=0\r\n"
    "[M.PRINTERINFO2K]\r\n"
    "STDDRIVERNAME=KR M Receipt\r\nGDIDRIVERNAME=KR M Raster\r\nCOMMENT=a comment that is longer than forty-nine characters in all\r\n"
    "LOCATION=Counter\r\nSEPFILE=\r\nDATATYPE=RAW\r\nPARAMETERS=p\r\nATTRIBUTES=576\r\nPRIORITY=1\r\n"
    "DEFAULTPRIORITY=2\r\nSTARTTIME=3\r\nUNTILTIME=4\r\nSTATUS=5\r\nCJOBS=6\r\nAVERAGEPPM=7\r\n"
    "[M.PRINTERINFOXP]\r\nSTDDRIVERNAME=wrong section\r\n"
    "[M.DEVMODE2K]\r\n"
    "DRIVERVERSION=258\r\nDMDRIVEREXTRA=16\r\nORIENTATION=1\r\nPAPERSIZE=256\r\nPAPERLENGTH=2000\r\n"
    "PAPERWIDTH=800\r\nSCALE=100\r\nCOPIES=70000\r\nDEFAULTSOURCE=7\r\nPRINTQUALITY=-3\r\nCOLOR=1\r\n"
    "DUPLEX=1\r\nYRESOLUTION=203\r\nTTOPTION=2\r\nCOLLATE=0\r\nFORMNAME=A form name of many letters\r\n"
    "ICMMETHOD=1\r\nICMINTENT=2\r\nMEDIATYPE=3\r\nDITHERTYPE=4000000\r\nFIELDS=0x3F\r\n"
    "SPECVERSION=5\r\nSIZE=12\r\n";

TEST_F(ConfigReaderTest, XpReadsItsFileListAndTheSectionsOf2000) {
    Class("setup_receipt.ini", kModel);
    ConfigReader r = Reader();
    sys::DriverInfo3 info;
    r.ReadDriverInfo("M", TargetSystem::WinXP, info, 0);
    EXPECT_EQ(info.cVersion, 3u);
    EXPECT_FALSE(info.pEnvironment.has_value());
    EXPECT_EQ(info.pName, "KR M Receipt");
    EXPECT_EQ(info.pDriverPath, "mxp.dll");
    EXPECT_EQ(info.pDataFile, "mxp.gpd");
    EXPECT_EQ(info.pConfigFile, "mxpui.dll");
    EXPECT_EQ(info.pHelpFile, "mxp.hlp");
    EXPECT_EQ(info.pMonitorName, "KR Monitor");
    // The dependent files: data file, the three support files, then the named extras in key order.
    EXPECT_EQ(info.pDependentFiles, (std::vector<std::string>{"mxp.gpd", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD",
                                                              "mxpres.dll", "oemuni.dll", "oemuni.ini"}));
    EXPECT_EQ(sys::MultiString(info.pDependentFiles).size(),
              std::string("mxp.gpd TTFSUB.GPD UNIRES.DLL STDNAMES.GPD mxpres.dll oemuni.dll oemuni.ini ").size() + 1);

    sys::DriverInfo3 gdi;
    r.ReadDriverInfo("M", TargetSystem::WinXP, gdi, 1);
    EXPECT_EQ(gdi.pName, "KR M Raster");
    EXPECT_EQ(gdi.pDriverPath, "mxpgdi.dll");
}

TEST_F(ConfigReaderTest, FamiliesSetVersionEnvironmentAndDependentFiles) {
    Class("setup_receipt.ini", kModel);
    ConfigReader r = Reader();
    sys::DriverInfo3 nt;
    r.ReadDriverInfo("M", TargetSystem::WinNT, nt, 0);
    EXPECT_EQ(nt.cVersion, 2u);
    EXPECT_FALSE(nt.pEnvironment.has_value());
    EXPECT_TRUE(nt.pDependentFiles.empty());
    EXPECT_EQ(sys::MultiString(nt.pDependentFiles), std::string(1, '\0'));

    sys::DriverInfo3 w98;
    r.ReadDriverInfo("M", TargetSystem::Win98Me, w98, 0);
    EXPECT_EQ(w98.cVersion, 0u);
    EXPECT_EQ(w98.pEnvironment, std::optional<std::string>("Windows 4.0"));
    EXPECT_EQ(w98.pDriverPath, "M98.DRV");

    sys::MonitorInfo2 lang;
    r.ReadLanguageMonitor("M", TargetSystem::Win98Me, lang, 0);
    EXPECT_EQ(lang.pName, "Language Monitor");
    EXPECT_EQ(lang.pDLLName, "pjlmon.dll");
    EXPECT_EQ(lang.pEnvironment, std::optional<std::string>("Windows 4.0"));
    r.ReadLanguageMonitor("M", TargetSystem::Win2000, lang, 0);
    EXPECT_FALSE(lang.pEnvironment.has_value());
}

TEST_F(ConfigReaderTest, PrinterRecordAndDeviceMode) {
    Class("setup_receipt.ini", kModel);
    sys::PrinterInfo2 p;
    Reader().ReadPrinterInfo("M", TargetSystem::WinXP, p, 1);
    EXPECT_EQ(p.pDriverName, "KR M Raster");
    EXPECT_EQ(p.pComment, std::string("a comment that is longer than forty-nine characters in all").substr(0, 49));
    EXPECT_EQ(p.pLocation, "Counter");
    EXPECT_EQ(p.pSepFile, "");
    EXPECT_EQ(p.pServerName, std::optional<std::string>("0"));
    EXPECT_EQ(p.pDatatype, "RAW");
    EXPECT_EQ(p.pParameters, "p");
    EXPECT_EQ(p.pPrinterName, "M");
    EXPECT_FALSE(p.pShareName.has_value());
    EXPECT_EQ(p.pPrintProcessor, "KRPrint");
    EXPECT_EQ(p.Attributes, 576u);
    EXPECT_EQ(p.Priority, 1u);
    EXPECT_EQ(p.DefaultPriority, 2u);
    EXPECT_EQ(p.StartTime, 3u);
    EXPECT_EQ(p.UntilTime, 4u);
    EXPECT_EQ(p.Status, 5u);
    EXPECT_EQ(p.cJobs, 6u);
    EXPECT_EQ(p.AveragePPM, 7u);

    ASSERT_TRUE(p.pDevMode.has_value());
    const sys::DevMode& dm = *p.pDevMode;
    EXPECT_STREQ(dm.dmDeviceName, "M");
    EXPECT_EQ(dm.dmSpecVersion, 1024);
    EXPECT_EQ(dm.dmSize, 148);
    EXPECT_EQ(dm.dmDriverVersion, 258);
    EXPECT_EQ(dm.dmDriverExtra, 16);
    EXPECT_EQ(dm.dmFields, 0u);  // hexadecimal is not understood
    EXPECT_EQ(dm.dmOrientation, 1);
    EXPECT_EQ(dm.dmPaperSize, 256);
    EXPECT_EQ(dm.dmPaperLength, 2000);
    EXPECT_EQ(dm.dmPaperWidth, 800);
    EXPECT_EQ(dm.dmScale, 100);
    EXPECT_EQ(dm.dmCopies, 4464);  // 70000 keeps its low 16 bits
    EXPECT_EQ(dm.dmDefaultSource, 7);
    EXPECT_EQ(dm.dmPrintQuality, -3);
    EXPECT_EQ(dm.dmColor, 1);
    EXPECT_EQ(dm.dmDuplex, 1);
    EXPECT_EQ(dm.dmYResolution, 203);
    EXPECT_EQ(dm.dmTTOption, 2);
    EXPECT_EQ(dm.dmCollate, 0);
    EXPECT_STREQ(dm.dmFormName, "A form name of many");
    EXPECT_EQ(dm.dmICMMethod, 1u);
    EXPECT_EQ(dm.dmICMIntent, 2u);
    EXPECT_EQ(dm.dmMediaType, 3u);
    EXPECT_EQ(dm.dmDitherType, 4000000u);
    EXPECT_EQ(dm.dmLogPixels, 0);
    EXPECT_EQ(dm.dmPelsWidth, 0u);
    EXPECT_EQ(sys::DevModeBlock(dm).size(), 148u + 16u);
}

TEST_F(ConfigReaderTest, AValueCutByItsLimitKeepsWholeCharactersAndNoTerminator) {
    // "打印" after 48 and 18 letters: the driver name's 49 characters and the
    // form name's 19 end inside the second byte of "打".
    const std::string print = "\xB4\xF2\xD3\xA1";
    Class("setup_receipt.ini", "[M.PRINTERINFO2K]\r\nSTDDRIVERNAME=" + std::string(48, 'A') + print +
                                   "\r\n[M.DEVMODE2K]\r\nFORMNAME=" + std::string(18, 'F') + print + "\r\n");
    sys::PrinterInfo2 p;
    Reader().ReadPrinterInfo("M", TargetSystem::WinXP, p, 0);
    EXPECT_EQ(p.pDriverName, std::string(48, 'A'));
    ASSERT_TRUE(p.pDevMode.has_value());
    EXPECT_EQ(std::string(p.pDevMode->dmFormName), std::string(18, 'F'));
    // One letter fewer and the first character fits whole.
    Class("setup_receipt.ini", "[M.PRINTERINFO2K]\r\nSTDDRIVERNAME=" + std::string(47, 'A') + print + "\r\n");
    Reader().ReadPrinterInfo("M", TargetSystem::WinXP, p, 0);
    EXPECT_EQ(p.pDriverName, std::string(47, 'A') + "\xB4\xF2");
}

TEST_F(ConfigReaderTest, LongModelNameFillsTheDeviceNameAndStaysWholeInThePrinterName) {
    const std::string model(40, 'Q');
    sys::PrinterInfo2 p;
    Reader().ReadPrinterInfo(model, TargetSystem::Win2000, p, 0);
    EXPECT_EQ(p.pPrinterName, model);
    EXPECT_EQ(std::string(p.pDevMode->dmDeviceName), model.substr(0, 31));
}

TEST_F(ConfigReaderTest, VariantKeysFollowTheRasterFlag) {
    Class("setup_receipt.ini", kModel);
    ConfigReader r = Reader();
    DriverFileList std, gdi, none;
    none.DriverPath = "untouched";
    r.ReadDriverFiles("M", TargetSystem::WinXP, std, 0);
    r.ReadDriverFiles("M", TargetSystem::WinXP, gdi, 1);
    r.ReadDriverFiles("M", TargetSystem::WinXP, none, 2);
    EXPECT_EQ(std.DriverPath, "mxp.dll");
    EXPECT_EQ(std.MonitorDLLName, "krmon.dll");
    EXPECT_EQ(std.ProcessorDLLName, "0");
    EXPECT_EQ(std.DataOemuniini, "oemuni.ini");
    EXPECT_EQ(gdi.DriverPath, "mxpgdi.dll");
    EXPECT_EQ(gdi.DataFile, "0");
    EXPECT_EQ(none.DriverPath, "untouched");
    EXPECT_EQ(r.ReadDdkFlag("M", TargetSystem::WinXP, 0), 0);
    EXPECT_EQ(r.ReadDdkFlag("M", TargetSystem::WinXP, 1), 1);
    EXPECT_EQ(r.ReadDdkFlag("M", TargetSystem::WinXP, 5), 0);
}

TEST_F(ConfigReaderTest, NoClassFileOutsideTheFourClasses) {
    Class("setup_receipt.ini", kModel);
    ConfigReader r = Reader(static_cast<PrinterClass>(7));
    sys::DriverInfo3 info;
    r.ReadDriverInfo("M", TargetSystem::WinXP, info, 0);
    EXPECT_EQ(info.pName, "0");
    EXPECT_EQ(info.pDriverPath, "0");
    EXPECT_EQ(info.pDataFile, "0");
    EXPECT_TRUE(info.pDependentFiles.empty());
    EXPECT_EQ(r.ReadDdkFlag("M", TargetSystem::WinXP, 1), 0);
}

TEST_F(ConfigReaderTest, PortMonitorsAndVersionComeFromTheMainFile) {
    Main("[Version]\r\nDriverVersion=1234\r\n"
         "[COMMON-MONITOR.98]\r\nCOMMONitorPName=KR Serial\r\nCOMMONitorPDLLName=krser9x.dll\r\n"
         "COMMONitorPUIDLLName=0\r\nCOMMONitorVersion=12\r\nUSBMONitorPName=KR USB\r\n"
         "USBMONitorPDLLName=krusb9x.dll\r\nUSBMONitorPUIDLLName=krusbui.dll\r\nUSBMONitorVersion=34\r\n"
         "[COMMON-MONITOR.XP]\r\nCOMMONitorPName=KR Serial XP\r\n");
    ConfigReader r = Reader(static_cast<PrinterClass>(-1));
    EXPECT_EQ(r.ReadDriverVersion(), 1234);
    PortMonitorSet m;
    r.ReadPortMonitors(TargetSystem::Win98Me, m);
    EXPECT_EQ(m.comMonitor.pName, "KR Serial");
    EXPECT_EQ(m.comMonitor.pDLLName, "krser9x.dll");
    EXPECT_EQ(m.comMonitor.pEnvironment, std::optional<std::string>("Windows 4.0"));
    EXPECT_EQ(m.comUiDll, "0");
    EXPECT_EQ(m.comVersion, 12);
    EXPECT_EQ(m.usbMonitor.pName, "KR USB");
    EXPECT_EQ(m.usbMonitor.pDLLName, "krusb9x.dll");
    EXPECT_EQ(m.usbMonitor.pEnvironment, std::optional<std::string>("Windows 4.0"));
    EXPECT_EQ(m.usbUiDll, "krusbui.dll");
    EXPECT_EQ(m.usbVersion, 34);
    PortMonitorSet xp;
    r.ReadPortMonitors(TargetSystem::WinXP, xp);
    EXPECT_EQ(xp.comMonitor.pName, "KR Serial XP");
    EXPECT_FALSE(xp.comMonitor.pEnvironment.has_value());
    EXPECT_EQ(xp.usbVersion, 0);
}

TEST_F(ConfigReaderTest, LongDependentFileListsAreKeptWhole) {
    const std::string longName(150, 'f');
    Class("setup_receipt.ini", "[M.2003]\r\nSTDDataFile=" + longName + "1\r\nSTDDataFileDLLName=" + longName +
                                   "2\r\nSTDDataOemuiDLL=" + longName + "3\r\nGDI2KDDKDEV=1\r\n");
    sys::DriverInfo3 info;
    Reader().ReadDriverInfo("M", TargetSystem::WinServer2003, info, 0);
    ASSERT_EQ(info.pDependentFiles.size(), 6u);
    EXPECT_EQ(info.pDependentFiles[0], longName + "1");
    EXPECT_EQ(info.pDependentFiles[5], longName + "3");
}

// Each value is cut at its key's limit: file names at 199 characters,
// monitor versions at 9, the package version at 11, the device count at 31.
// Leading zeros make every cut visible in the number read.
TEST_F(ConfigReaderTest, ValuesAreCutAtTheLimitsOfTheirKeys) {
    const std::string longName = std::string(195, 'd') + "12345.DLL";  // 204 characters
    Class("setup_receipt.ini", "[M.XP]\r\nSTDDriverPath=" + longName + "\r\nSTDDataFile=" + longName + "\r\n");
    Main("[Version]\r\nDriverVersion=00000000012345\r\n"
         "[COMMON-MONITOR.XP]\r\nCOMMONitorVersion=0000000123\r\nUSBMONitorVersion=0000000456\r\n"
         "[DEVICENAME]\r\nDEVICENUMBER=00000000000000000000000000000050\r\n");
    ConfigReader r = Reader();
    DriverFileList files;
    r.ReadDriverFiles("M", TargetSystem::WinXP, files, 0);
    EXPECT_EQ(files.DriverPath, longName.substr(0, 199));
    EXPECT_EQ(files.DataFile, longName.substr(0, 199));
    sys::DriverInfo3 info;
    r.ReadDriverInfo("M", TargetSystem::WinXP, info, 0);
    EXPECT_EQ(info.pDriverPath, longName.substr(0, 199));
    PortMonitorSet monitors;
    r.ReadPortMonitors(TargetSystem::WinXP, monitors);
    EXPECT_EQ(monitors.comVersion, 12);  // "000000012"
    EXPECT_EQ(monitors.usbVersion, 45);  // "000000045"
    EXPECT_EQ(r.ReadDriverVersion(), 12);  // "00000000012"
    EXPECT_EQ(r.ReadDeviceCount(), 5);     // 31 characters: "0...05"
}

}  // namespace
