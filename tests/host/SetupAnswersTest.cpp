// instalix-setup's answers file: what it reads from each key, the values it
// refuses (those the wizard's pages could not produce), comments after a
// value, and the checks against the package and the port page.
#include <gtest/gtest.h>

#include <string>

#include "Answers.h"
#include "sys/sim/SimMachine.h"

namespace {

const char kFile[] = "F:\\answers.ini";

std::string Install(const std::string& lines) { return "[Install]\n" + lines; }
// The keys a file needs besides those a case sets.  A key is read from the
// first line that names it, so a case puts its own line before these.
const char kBase[] = "Class=Receipt\nModel=MTR-Q5\nPort=KRCOM1:\nPackage=E:\\\n";

class SetupAnswers : public ::testing::Test {
protected:
    std::optional<Answers> Read(const std::string& text, bool machine = true) {
        m.fs.WriteFile(kFile, text);
        error.clear();
        return ReadAnswers(m.profile, kFile, machine, &error);
    }
    // The error of a file that must be refused.
    std::string Refused(const std::string& text, bool machine = true) {
        std::optional<Answers> a = Read(text, machine);
        EXPECT_FALSE(a.has_value()) << text;
        return error;
    }

    sys::sim::SimMachine m;
    std::string error;
};

TEST_F(SetupAnswers, ReadsEveryChoiceAsThePagesHoldIt) {
    std::optional<Answers> a = Read(Install("Class=Label\nModel=MTR-L58\nPort=USB_MTR-L58_3\nMode=Advanced\n"
                                            "Target=2003\nRasterBitmap=1\nSetDefault=1\nBaudRate=57600\n"
                                            "DataBits=7\nStopBits=1.5\nParity=Space\nFlowControl=Hardware\n"
                                            "Package=D:\\Drivers\\Korvale\n") +
                                    "[Answers]\n143=Yes\n114=No\n[Machine]\nWindows=win2003\nUsbPrinters=3, 7\n"
                                    "LanguageMonitor=1\nSpoolerStartDelay=2500\n");
    ASSERT_TRUE(a) << error;
    const InstallChoices& c = a->choices;
    EXPECT_EQ(c.printerClass, PrinterClass::Label);
    EXPECT_EQ(c.modelName, "MTR-L58");
    EXPECT_EQ(c.portName, "USB_MTR-L58_3");
    EXPECT_EQ(c.installMode, InstallMode::Advanced);
    EXPECT_TRUE(a->targetGiven);
    EXPECT_EQ(c.targetSystem, TargetSystem::WinServer2003);
    EXPECT_EQ(c.rasterBitmap, 1);
    EXPECT_EQ(c.setAsDefault, 1);
    EXPECT_EQ(c.baudRate, 57600);
    EXPECT_EQ(c.dataBits, 7);
    EXPECT_EQ(c.stopBits, 1.5);
    EXPECT_EQ(c.parity, 'S');
    EXPECT_EQ(c.flowControl, 'p');
    EXPECT_EQ(a->package, "D:\\Drivers\\Korvale");
    EXPECT_EQ(a->replies, (std::map<int, sys::MsgAnswer>{{114, sys::MsgAnswer::No}, {143, sys::MsgAnswer::Yes}}));
    EXPECT_EQ(a->windows, "win2003");
    EXPECT_EQ(a->usbPrinters, (std::vector<std::uint16_t>{3, 7}));
    EXPECT_TRUE(a->languageMonitorInstalled);
    EXPECT_EQ(a->spoolerStartDelayMs, 2500u);
}

TEST_F(SetupAnswers, KeysLeftOutTakeTheirDefaults) {
    std::optional<Answers> a = Read(Install("Package=E:\\\n"));
    ASSERT_TRUE(a) << error;
    const InstallChoices& c = a->choices;
    EXPECT_EQ(c.printerClass, PrinterClass::Receipt);
    EXPECT_EQ(c.modelName, "");
    EXPECT_EQ(c.installMode, InstallMode::Typical);
    EXPECT_FALSE(a->targetGiven);
    EXPECT_EQ(c.rasterBitmap, 0);
    EXPECT_EQ(c.setAsDefault, 0);
    EXPECT_EQ(c.baudRate, 9600);
    EXPECT_EQ(c.dataBits, 8);
    EXPECT_EQ(c.stopBits, 1.0);
    EXPECT_EQ(c.parity, 'N');
    EXPECT_EQ(c.flowControl, ' ');
    EXPECT_TRUE(a->replies.empty());
    EXPECT_EQ(a->windows, "winxp");
    EXPECT_TRUE(a->usbPrinters.empty());
    EXPECT_FALSE(a->languageMonitorInstalled);
}

TEST_F(SetupAnswers, EachEntryOfTheSerialListsGivesThePagesValue) {
    struct Case {
        const char* line;
        double stopBits;
        char parity;
        char flow;
        int dataBits;
    };
    const Case cases[] = {
        {"StopBits=2\nParity=Even\nFlowControl=Xon/Xoff\nDataBits=5\n", 2.0, 'E', 'x', 5},
        {"StopBits=1\nParity=Mark\nFlowControl=None\nDataBits=6\n", 1.0, 'M', ' ', 6},
        {"StopBits=1.5\nParity=Odd\nFlowControl=Hardware\nDataBits=8\n", 1.5, 'O', 'p', 8},
        {"Parity=None\n", 1.0, 'N', ' ', 8},
    };
    for (const Case& k : cases) {
        std::optional<Answers> a = Read(Install(std::string(k.line) + kBase));
        ASSERT_TRUE(a) << k.line << error;
        EXPECT_EQ(a->choices.stopBits, k.stopBits) << k.line;
        EXPECT_EQ(a->choices.parity, k.parity) << k.line;
        EXPECT_EQ(a->choices.flowControl, k.flow) << k.line;
        EXPECT_EQ(a->choices.dataBits, k.dataBits) << k.line;
    }
}

TEST_F(SetupAnswers, ClassModeAndTargetStillTakeNumbers) {
    std::optional<Answers> a = Read(Install(std::string("Class=3\nMode=0\nTarget=1\n") + kBase));
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->choices.printerClass, PrinterClass::Embedded);
    EXPECT_EQ(a->choices.installMode, InstallMode::Advanced);
    EXPECT_EQ(a->choices.targetSystem, TargetSystem::WinNT);
}

TEST_F(SetupAnswers, RefusesWhatThePagesCannotProduceNamingTheKey) {
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"Parity=", "[Install] Parity: \"\" is not one of Even, Mark, None, Odd, Space"},
        {"Parity=Zebra", "[Install] Parity: \"Zebra\" is not one of Even, Mark, None, Odd, Space"},
        {"Parity=even", "[Install] Parity: \"even\" is not one of Even, Mark, None, Odd, Space"},
        {"FlowControl=RTS/CTS", "[Install] FlowControl: \"RTS/CTS\" is not one of Xon/Xoff, Hardware, None"},
        {"StopBits=1e300", "[Install] StopBits: \"1e300\" is not one of 1, 1.5, 2"},
        {"StopBits=1.0", "[Install] StopBits: \"1.0\" is not one of 1, 1.5, 2"},
        {"DataBits=9", "[Install] DataBits: \"9\" is not one of 5, 6, 7, 8"},
        {"RasterBitmap=2", "[Install] RasterBitmap: \"2\" is not one of 0, 1"},
        {"SetDefault=yes", "[Install] SetDefault: \"yes\" is not one of 0, 1"},
        {"BaudRate=fast", "[Install] BaudRate: \"fast\" is not a number"},
        {"BaudRate=-9600", "[Install] BaudRate: \"-9600\" is not a number"},
        {"BaudRate=4294967296", "[Install] BaudRate: \"4294967296\" is not a number"},
        {"Class=receipt", "[Install] Class: \"receipt\" is not one of Receipt, Ticket, Label, Embedded"},
        {"Mode=Expert", "[Install] Mode: \"Expert\" is not one of Advanced, Typical"},
        {"Target=", "[Install] Target: \"\" is not one of 98, NT, 2000, XP, 2003"},
        {"Target=Vista", "[Install] Target: \"Vista\" is not one of 98, NT, 2000, XP, 2003"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Refused(Install(std::string(k.line) + "\n" + kBase)), k.error) << k.line;
}

TEST_F(SetupAnswers, RefusesBadAnswersAndAFileWithoutPackage) {
    EXPECT_EQ(Refused(Install(kBase) + "[Answers]\n143=yes\n"), "[Answers] 143: \"yes\" is not one of Yes, No");
    EXPECT_EQ(Refused(Install(kBase) + "[Answers]\n101=\n"), "[Answers] 101: \"\" is not one of Yes, No");
    EXPECT_EQ(Refused(Install("Model=MTR-Q5\n")), "[Install] Package: no package folder given");
    EXPECT_EQ(Refused(Install("Package=\n")), "[Install] Package: no package folder given");
    // A file that is not there reads as one without keys.
    m.fs.RemoveFile(kFile);
    EXPECT_FALSE(ReadAnswers(m.profile, "F:\\other.ini", true, &error));
    EXPECT_EQ(error, "[Install] Package: no package folder given");
    // A value the reader's room cuts is not taken cut.
    EXPECT_EQ(Refused(Install("Model=" + std::string(1100, 'M') + "\n" + kBase)),
              "[Install] Model: longer than 1022 characters");
}

TEST_F(SetupAnswers, AMisspelledKeyOrSectionIsRefusedInsteadOfTakenAsMissing) {
    EXPECT_EQ(Refused(Install("Parrity=Odd\n" + std::string(kBase))),
              "[Install] Parrity: unknown key; the keys are Class, Model, Port, Mode, Target, RasterBitmap, "
              "SetDefault, BaudRate, DataBits, StopBits, Parity, FlowControl, Package");
    EXPECT_EQ(Refused(Install(kBase) + "[Instal]\nMode=Advanced\n"),
              "[Instal]: unknown section; the sections are Install, Answers, Machine");
    EXPECT_EQ(Refused(Install(kBase) + "[Answers]\n143=Yes\n146=Yes\n"),
              "[Answers] 146: unknown key; the keys are the message numbers 101 to 145");
    EXPECT_EQ(Refused(Install(kBase) + "[Machine]\nWindow=win98\n"),
              "[Machine] Window: unknown key; the keys are Windows, UsbPrinters, SpoolerStartDelay, LanguageMonitor");
    // The Windows build ignores [Machine], the names of its keys too; the
    // section itself is known to both builds.
    std::optional<Answers> windows = Read(Install(kBase) + "[Machine]\nWindow=win98\nSe[Install]\n", false);
    EXPECT_TRUE(windows) << error;
    EXPECT_EQ(Refused(Install(kBase) + "[Machin]\nWindows=win98\n", false),
              "[Machin]: unknown section; the sections are Install, Answers, Machine");
    // Names are matched without regard to case, as the profile reader does.
    std::optional<Answers> a = Read(Install("parity=Odd\nMODEL=MTR-Q5\n" + std::string(kBase)) + "[answers]\n143=No\n");
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->choices.parity, 'O');
}

TEST_F(SetupAnswers, ChecksTheSimulatedMachineOnlyWhenAsked) {
    const std::string install = Install(kBase);
    struct Case {
        const char* lines;
        const char* error;
    };
    const Case cases[] = {
        {"Windows=win95", "[Machine] Windows: \"win95\" is not one of win98, nt40, win2k, winxp, win2003"},
        {"UsbPrinters=1,x", "[Machine] UsbPrinters: \"x\" is not a printer identity (0 to 65535)"},
        {"UsbPrinters=65536", "[Machine] UsbPrinters: \"65536\" is not a printer identity (0 to 65535)"},
        {"UsbPrinters=0,1,2,3,4,5,6,7,8", "[Machine] UsbPrinters: more than 8 printers"},
        {"LanguageMonitor=2", "[Machine] LanguageMonitor: \"2\" is not one of 0, 1"},
        {"SpoolerStartDelay=-1", "[Machine] SpoolerStartDelay: \"-1\" is not a number"},
    };
    for (const Case& k : cases) {
        const std::string text = install + "[Machine]\n" + k.lines + "\n";
        EXPECT_EQ(Refused(text), k.error) << k.lines;
        // The Windows build ignores the section.
        EXPECT_TRUE(Read(text, false)) << k.lines << ": " << error;
    }
    std::optional<Answers> a = Read(install + "[Machine]\nWindows=win98\nUsbPrinters=65535,0,1,2,3,4,5,6\n");
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->windows, "win98");
    EXPECT_EQ(a->usbPrinters, (std::vector<std::uint16_t>{65535, 0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(SetupAnswers, AValueEndsWhereAnAppendedCommentBegins) {
    std::optional<Answers> a = Read(
        "[Install]\n"
        "Class=Ticket            ; Receipt, Ticket, Label, Embedded\n"
        "Model=\"MTR-T2\"  ; quoted, and a note\n"
        "Port=KRCOM1:\t; a tab before the note\n"
        "Mode=Advanced;not a note: no blank before it\n"
        "Parity=Odd ;\n"
        "Package=D:\\drv;2 ; a ';' inside a word stays\n"
        "[Answers]\n"
        "143=Yes                  ; the identity question\n"
        "[Machine]                ; the simulated machine\n"
        "Windows=win2k            ; win98, nt40, win2k, winxp, win2003\n");
    ASSERT_FALSE(a) << "Mode=Advanced;... is one word";
    EXPECT_EQ(error, "[Install] Mode: \"Advanced;not a note: no blank before it\" is not one of Advanced, Typical");

    a = Read(
        "[Install]\n"
        "Class=Ticket            ; Receipt, Ticket, Label, Embedded\n"
        "Model=\"MTR-T2\"  ; quoted, and a note\n"
        "Port=KRCOM1:\t; a tab before the note\n"
        "Mode=Advanced ;; two\n"
        "Parity=Odd ;\n"
        "Package=D:\\drv;2 ; a ';' inside a word stays\n"
        "[Answers]\n"
        "143=Yes                  ; the identity question\n"
        "[Machine]                ; the simulated machine\n"
        "Windows=win2k            ; win98, nt40, win2k, winxp, win2003\n");
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->choices.printerClass, PrinterClass::Ticket);
    EXPECT_EQ(a->choices.modelName, "MTR-T2");
    EXPECT_EQ(a->choices.portName, "KRCOM1:");
    EXPECT_EQ(a->choices.installMode, InstallMode::Advanced);
    EXPECT_EQ(a->choices.parity, 'O');
    EXPECT_EQ(a->package, "D:\\drv;2");
    EXPECT_EQ(a->replies.at(143), sys::MsgAnswer::Yes);
    EXPECT_EQ(a->windows, "win2k");

    // Nothing but a note is an empty value, not a missing key.
    EXPECT_EQ(Refused(Install(std::string("Parity=   ; none\n") + kBase)),
              "[Install] Parity: \"\" is not one of Even, Mark, None, Odd, Space");
}

// ---- Against the package and the port page ----------------------------

class SetupAnswersPackage : public SetupAnswers {
protected:
    // A machine of the family with the sample package as its medium.
    void Machine(const char* windows, const std::string& package = INSTALIX_PACKAGE_DIR) {
        m.SetWindows(windows);
        m.InsertMedium(package);
    }
    // Reads `install` and checks it against the machine's package.
    bool Finish(const std::string& install) {
        std::optional<Answers> a = Read(Install(install + "Package=E:\\\n"));
        EXPECT_TRUE(a) << error;
        if (!a) return false;
        answers = *a;
        error.clear();
        return FinishAnswers(m.platform(), &answers, &error);
    }
    Answers answers;
};

TEST_F(SetupAnswersPackage, AcceptsWhatTheWizardOffers) {
    Machine("winxp");
    EXPECT_TRUE(Finish("Model=MTR-Q5\nPort=USB_MTR-Q5_2\nMode=Advanced\nTarget=XP\nBaudRate=19200\n")) << error;
    EXPECT_TRUE(Finish("Class=Label\nModel=MTR-L108\nPort=USB_MTR-L108_1\n")) << error;
    EXPECT_TRUE(Finish("Class=Embedded\nModel=MTR-E58\nPort=KRCOM8:\nBaudRate=110\n")) << error;
    // No model: the installation refuses it as the wizard's Finish does.
    EXPECT_TRUE(Finish("Port=nowhere\n")) << error;
}

TEST_F(SetupAnswersPackage, RefusesAModelOutsideTheDeviceListBeforeTouchingAnything) {
    Machine("winxp");
    const std::size_t writes = m.registry.writes.size();
    const std::size_t processors = m.spooler.processors.size();
    EXPECT_FALSE(Finish("Model=MTR-X9\nPort=USB_MTR-X9_1\n"));
    EXPECT_EQ(error,
              "[Install] Model: \"MTR-X9\" is not one of the package's Receipt models: MTR-Q5, MTR-C30, MTR-R80");
    EXPECT_FALSE(Finish("Class=Embedded\nModel=MTR-Q5\nPort=KRCOM1:\n"));
    EXPECT_EQ(error, "[Install] Model: \"MTR-Q5\" is a Receipt model, not a Embedded one");
    // Device names are compared exactly, as the list's text is taken.
    EXPECT_FALSE(Finish("Model=mtr-q5\nPort=KRCOM1:\n"));
    EXPECT_EQ(m.registry.writes.size(), writes);
    EXPECT_EQ(m.spooler.processors.size(), processors);
    EXPECT_TRUE(m.files.copies.empty());
    EXPECT_TRUE(m.messages.shown.empty());
    EXPECT_TRUE(m.usb.written.empty());
}

TEST_F(SetupAnswersPackage, RefusesAFolderThatIsNoPackage) {
    Machine("winxp", std::string(INSTALIX_PACKAGE_DIR) + "/no-such-folder");
    EXPECT_FALSE(Finish("Model=MTR-Q5\nPort=KRCOM1:\n"));
    EXPECT_EQ(error, "[Install] Package: \"E:\\\" is not a driver package: it holds no DRVCONFIG\\setup.ini");
    // Also without a model.
    EXPECT_FALSE(Finish(""));
}

struct PortCase {
    const char* windows;
    const char* install;
    const char* error;  // nullptr: accepted
};

class SetupAnswersPort : public SetupAnswersPackage, public ::testing::WithParamInterface<PortCase> {};

TEST_P(SetupAnswersPort, ThePortMustBeOneThePortPageOffers) {
    const PortCase& k = GetParam();
    Machine(k.windows);
    const bool ok = Finish(k.install);
    if (!k.error) {
        EXPECT_TRUE(ok) << error;
    } else {
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, k.error);
    }
}

#define XP_FIXED "KRCOM1:, KRCOM2:, KRCOM3:, KRCOM4:, KRCOM5:, KRCOM6:, KRCOM7:, KRCOM8:, LPT1:, LPT2:, LPT3:"

INSTANTIATE_TEST_SUITE_P(
    EachFamilyAndMode, SetupAnswersPort,
    ::testing::Values(
        PortCase{"winxp", "Model=MTR-Q5\nMode=Advanced\nPort=USB_MTR-Q5_5\n",
                 "[Install] Port: \"USB_MTR-Q5_5\" is not one of " XP_FIXED
                 ", USB_MTR-Q5_1, USB_MTR-Q5_2, USB_MTR-Q5_3, USB_MTR-Q5_4"
                 " (the ports offered for MTR-Q5 on XP in Advanced mode)"},
        PortCase{"winxp", "Model=MTR-Q5\nMode=Advanced\nPort=USB_MTR-Q5_4\n", nullptr},
        // Typical offers the model's first USB port only.
        PortCase{"winxp", "Model=MTR-Q5\nPort=USB_MTR-Q5_2\n",
                 "[Install] Port: \"USB_MTR-Q5_2\" is not one of " XP_FIXED
                 ", USB_MTR-Q5_1 (the ports offered for MTR-Q5 on XP in Typical mode)"},
        PortCase{"winxp", "Model=MTR-Q5\nPort=COM1:\n",
                 "[Install] Port: \"COM1:\" is not one of " XP_FIXED
                 ", USB_MTR-Q5_1 (the ports offered for MTR-Q5 on XP in Typical mode)"},
        // The entries' texts exactly.
        PortCase{"win2k", "Model=MTR-Q5\nPort=lpt1:\n",
                 "[Install] Port: \"lpt1:\" is not one of " XP_FIXED
                 ", USB_MTR-Q5_1 (the ports offered for MTR-Q5 on 2000 in Typical mode)"},
        PortCase{"winxp", "Model=MTR-Q5\n",
                 "[Install] Port: \"\" is not one of " XP_FIXED
                 ", USB_MTR-Q5_1 (the ports offered for MTR-Q5 on XP in Typical mode)"},
        PortCase{"winxp", "Model=MTR-Q5\nPort=LPT3:\n", nullptr},
        PortCase{"win98", "Model=MTR-Q5\nPort=KRCOM1:\n",
                 "[Install] Port: \"KRCOM1:\" is not one of COM1:, COM2:, LPT1:, USB_MTR-Q5_1"
                 " (the ports offered for MTR-Q5 on 98 in Typical mode)"},
        PortCase{"win98", "Model=MTR-Q5\nPort=COM2:\n", nullptr},
        // NT 4 offers no USB port, and a model without USB none anywhere.
        PortCase{"nt40", "Model=MTR-Q5\nMode=Advanced\nPort=USB_MTR-Q5_1\n",
                 "[Install] Port: \"USB_MTR-Q5_1\" is not one of " XP_FIXED
                 " (the ports offered for MTR-Q5 on NT in Advanced mode)"},
        PortCase{"winxp", "Model=MTR-C30\nPort=USB_MTR-C30_1\n",
                 "[Install] Port: \"USB_MTR-C30_1\" is not one of " XP_FIXED
                 " (the ports offered for MTR-C30 on XP in Typical mode)"}),
    [](const ::testing::TestParamInfo<PortCase>& info) {
        return std::string(info.param.windows) + "_" + std::to_string(info.index);
    });

#undef XP_FIXED

TEST_F(SetupAnswersPackage, TheTargetComesFromTheRunningSystemWhenNotGiven) {
    Machine("win98");
    ASSERT_TRUE(Finish("Model=MTR-Q5\nPort=COM2:\n")) << error;
    EXPECT_EQ(answers.choices.targetSystem, TargetSystem::Win98Me);
    // Given, it decides the ports.
    EXPECT_FALSE(Finish("Model=MTR-Q5\nPort=COM2:\nTarget=2000\n"));
    ASSERT_TRUE(Finish("Model=MTR-Q5\nPort=KRCOM2:\nTarget=2000\n")) << error;
    EXPECT_EQ(answers.choices.targetSystem, TargetSystem::Win2000);
}

TEST_F(SetupAnswersPackage, AdvancedOnlyWhereTheModelAllowsIt) {
    Machine("winxp");
    EXPECT_FALSE(Finish("Model=MTR-C30\nMode=Advanced\nPort=LPT1:\n"));
    EXPECT_EQ(error, "[Install] Mode: \"Advanced\" is not offered for MTR-C30 (its AdvancedSetup is 0)");
    EXPECT_TRUE(Finish("Model=MTR-C30\nMode=Typical\nPort=LPT1:\n")) << error;
    EXPECT_TRUE(Finish("Model=MTR-R80\nMode=Advanced\nPort=LPT1:\n")) << error;
}

TEST_F(SetupAnswersPackage, RasterPrintingOnlyOnAParallelOrUsbPort) {
    Machine("winxp");
    EXPECT_FALSE(Finish("Model=MTR-Q5\nMode=Advanced\nPort=KRCOM3:\nRasterBitmap=1\n"));
    EXPECT_EQ(error, "[Install] RasterBitmap: \"1\" is not offered on the serial port KRCOM3: (only parallel and USB ports)");
    EXPECT_TRUE(Finish("Model=MTR-Q5\nMode=Advanced\nPort=KRCOM3:\nRasterBitmap=0\n")) << error;
    EXPECT_TRUE(Finish("Model=MTR-Q5\nMode=Advanced\nPort=LPT2:\nRasterBitmap=1\n")) << error;
    EXPECT_TRUE(Finish("Model=MTR-Q5\nMode=Advanced\nPort=USB_MTR-Q5_3\nRasterBitmap=1\n")) << error;
    Machine("win98");
    EXPECT_FALSE(Finish("Model=MTR-Q5\nPort=COM1:\nRasterBitmap=1\n"));
    EXPECT_EQ(error, "[Install] RasterBitmap: \"1\" is not offered on the serial port COM1: (only parallel and USB ports)");
}

TEST_F(SetupAnswersPackage, TheBaudRateFromTheListOrTheModelsOwn) {
    Machine("winxp");
    const char list[] = "110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200";
    EXPECT_FALSE(Finish("Model=MTR-Q5\nPort=KRCOM1:\nBaudRate=14400\n"));
    EXPECT_EQ(error, std::string("[Install] BaudRate: \"14400\" is not one of ") + list);
    for (const char* rate : {"110", "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"})
        EXPECT_TRUE(Finish(std::string("Model=MTR-Q5\nPort=KRCOM1:\nBaudRate=") + rate + "\n")) << rate << error;

    // A package whose model brings a rate the list lacks, as the wizard then
    // takes it when the user leaves the list alone.
    m.fs.WriteFile("E:\\DRVCONFIG\\setup.ini",
                   "[DEVICENAME]\nDEVICENUMBER=2\nDEVICENAME1=ODD-1-ReceiptPrinter\n"
                   "DEVICENAME2=ODD-2-ReceiptPrinter\nDEFAULTNAME=1\n");
    m.fs.WriteFile("E:\\DRVCONFIG\\setup_receipt.ini", "[ODD-1.PORT]\nBaudRate=14400\n[ODD-2.PORT]\nUSBSUPPORTED=0\n");
    EXPECT_TRUE(Finish("Model=ODD-1\nPort=KRCOM1:\nBaudRate=14400\n")) << error;
    EXPECT_FALSE(Finish("Model=ODD-1\nPort=KRCOM1:\nBaudRate=28800\n"));
    EXPECT_EQ(error,
              std::string("[Install] BaudRate: \"28800\" is not one of ") + list + " or 14400 (ODD-1's own rate)");
    // No configured rate reads 0, which is no rate to install.
    EXPECT_FALSE(Finish("Model=ODD-2\nPort=KRCOM1:\nBaudRate=0\n"));
    EXPECT_EQ(error, std::string("[Install] BaudRate: \"0\" is not one of ") + list);
}

}  // namespace
