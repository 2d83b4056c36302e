// The printer page's lists and preselection, and the combo box search the
// preselection relies on.
#include <gtest/gtest.h>

#include <chrono>

#include "config/ConfigReader.h"
#include "install/PrinterLists.h"
#include "sys/sim/SimMachine.h"

namespace {

using Items = std::vector<std::string>;

class PrinterListsTest : public ::testing::Test {
protected:
    PrinterLists Read(const std::string& setupIni) {
        m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini", setupIni);
        ConfigReader reader(m.platform());
        return ReadPrinterLists(reader);
    }
    sys::sim::SimMachine m;
};

}  // namespace

// ---- CB_FINDSTRING ---------------------------------------------------------

TEST(ComboFindString, SearchesFromTheEntryAfterStartAndWrapsRoundToStart) {
    const Items items = {"MTR-Q5", "MTR-C30", "MTR-Q5 Plus", "Z9"};
    EXPECT_EQ(ComboFindString(items, -1, "MTR-Q5"), 0);
    EXPECT_EQ(ComboFindString(items, 0, "MTR-Q5"), 2);  // the exact match in 0 comes last
    EXPECT_EQ(ComboFindString(items, 2, "MTR-Q5"), 0);
    EXPECT_EQ(ComboFindString(items, 3, "MTR-Q5"), 0);
    EXPECT_EQ(ComboFindString(items, 3, "Z"), 3);  // ending with start itself
    EXPECT_EQ(ComboFindString(items, 1, "MTR-C"), 1);
}

TEST(ComboFindString, AStartOutOfRangeSearchesFromTheFirstEntry) {
    const Items items = {"LPT1:", "COM1:", "LPT2:"};
    EXPECT_EQ(ComboFindString(items, 3, "LPT"), 0);
    EXPECT_EQ(ComboFindString(items, 100, "LPT"), 0);
    EXPECT_EQ(ComboFindString(items, -7, "LPT"), 0);
}

TEST(ComboFindString, MatchesPrefixesWithoutRegardToAsciiCase) {
    const Items items = {"MTR-Q", "mtr-q5 plus", "other"};
    EXPECT_EQ(ComboFindString(items, -1, "MTR-Q5"), 1);
    EXPECT_EQ(ComboFindString(items, -1, "Mtr-q"), 0);
    EXPECT_EQ(ComboFindString(items, -1, "mtr-q5 plus and more"), -1);  // longer than every entry
    EXPECT_EQ(ComboFindString(items, -1, "ther"), -1);                  // inside, not at the start
}

TEST(ComboFindString, FindsNothingInAnEmptyListOrForAnEmptyText) {
    EXPECT_EQ(ComboFindString({}, -1, "A"), -1);
    EXPECT_EQ(ComboFindString({}, 0, "A"), -1);
    EXPECT_EQ(ComboFindString({"A", "B"}, 0, ""), -1);
}

TEST(ComboFindString, ComparesDoubleByteCharactersWhole) {
    // 0xB0 0x41 and 0xB0 0x61 are two different characters whose trail
    // bytes are the codes of 'A' and 'a'.
    const Items items = {"\xB0\x61X", "\xB4\xF2\xD3\xA1\xBB\xFA" "A"};
    EXPECT_EQ(ComboFindString(items, -1, "\xB0\x41"), -1);
    EXPECT_EQ(ComboFindString(items, -1, "\xB0\x61x"), 0);  // the ASCII letter after it still folds
    EXPECT_EQ(ComboFindString(items, -1, "\xB4\xF2\xD3\xA1"), 1);
    // Half a character matches nothing.
    EXPECT_EQ(ComboFindString(items, -1, "\xB0"), -1);
}

// ---- The lists --------------------------------------------------------------

TEST_F(PrinterListsTest, ModelsKeepTheOrderOfTheDeviceEntriesWithinTheirClass) {
    const PrinterLists l = Read(
        "[DEVICENAME]\r\nDEVICENUMBER=7\r\n"
        "DEVICENAME1=Zeta-ReceiptPrinter\r\n"
        "DEVICENAME2=T1-TicketPrinter\r\n"
        "DEVICENAME3=Alpha-ReceiptPrinter\r\n"
        "DEVICENAME4=Odd-DotMatrixPrinter\r\n"
        "DEVICENAME5=E1-EmbeddedPrinter\r\n"
        "DEVICENAME6=L1-LabelPrinter\r\n"
        "DEVICENAME7=Mid-ReceiptPrinter\r\n"
        "DEVICENAME8=Beyond-ReceiptPrinter\r\n"
        "DEFAULTNAME=3\r\n");
    EXPECT_EQ(l.models[0], (Items{"Zeta", "Alpha", "Mid"}));  // not sorted; entry 8 is past the count
    EXPECT_EQ(l.models[1], (Items{"T1"}));
    EXPECT_EQ(l.models[2], (Items{"L1"}));
    EXPECT_EQ(l.models[3], (Items{"E1"}));  // the unknown suffix is left out
    EXPECT_EQ(l.hasModels, 1);
    EXPECT_EQ(l.defaultClass, 0);
    EXPECT_EQ(l.defaultIndex, 1);
    EXPECT_EQ(l.defaultModel, "Alpha");
}

TEST_F(PrinterListsTest, ADefaultThatBeginsTheSecondEntrySelectsTheSecondEntry) {
    const PrinterLists l = Read(
        "[DEVICENAME]\r\nDEVICENUMBER=3\r\n"
        "DEVICENAME1=MTR-Q5-ReceiptPrinter\r\n"
        "DEVICENAME2=mtr-q5 Plus-ReceiptPrinter\r\n"
        "DEVICENAME3=MTR-C30-ReceiptPrinter\r\n"
        "DEFAULTNAME=1\r\n");
    EXPECT_EQ(l.defaultClass, 0);
    EXPECT_EQ(l.defaultIndex, 1);
    EXPECT_EQ(l.defaultModel, "mtr-q5 Plus");
}

TEST_F(PrinterListsTest, ADefaultWithoutAUsableEntryMarksNoClass) {
    const std::string devices =
        "[DEVICENAME]\r\nDEVICENUMBER=2\r\n"
        "DEVICENAME1=A-ReceiptPrinter\r\n"
        "DEVICENAME2=B-InkjetPrinter\r\n";
    for (const char* def : {"DEFAULTNAME=2\r\n", "DEFAULTNAME=9\r\n", "DEFAULTNAME=x\r\n", ""}) {
        const PrinterLists l = Read(devices + def);
        EXPECT_EQ(l.defaultClass, -1) << def;
        EXPECT_EQ(l.defaultIndex, -1) << def;
        EXPECT_EQ(l.defaultModel, "") << def;
        EXPECT_EQ(l.models[0], (Items{"A"})) << def;
    }
}

TEST_F(PrinterListsTest, ADefaultEntryBeyondTheCountGivesItsClassButNoSelection) {
    // The default names an entry of the label class that is past the count:
    // the class is marked, its list is empty, nothing is selected.
    const PrinterLists l = Read(
        "[DEVICENAME]\r\nDEVICENUMBER=1\r\n"
        "DEVICENAME1=A-ReceiptPrinter\r\n"
        "DEVICENAME5=L-LabelPrinter\r\n"
        "DEFAULTNAME=5\r\n");
    EXPECT_EQ(l.defaultClass, 2);
    EXPECT_TRUE(l.models[2].empty());
    EXPECT_EQ(l.defaultIndex, -1);
    EXPECT_EQ(l.defaultModel, "");
}

TEST_F(PrinterListsTest, AMissingOrEmptySetupIniOffersNoModels) {
    ConfigReader reader(m.platform());
    const PrinterLists missing = ReadPrinterLists(reader);
    EXPECT_EQ(missing.hasModels, 0);
    EXPECT_EQ(missing.defaultClass, -1);
    for (const Items& models : missing.models) EXPECT_TRUE(models.empty());

    const PrinterLists unknownOnly =
        Read("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=X-PlotterPrinter\r\nDEFAULTNAME=1\r\n");
    EXPECT_EQ(unknownOnly.hasModels, 0);
    EXPECT_EQ(unknownOnly.defaultClass, -1);
}

TEST_F(PrinterListsTest, EveryEntryUpToTheCountIsRead) {
    // No limit of the list control's size: an entry far down is offered.
    const PrinterLists l = Read(
        "[DEVICENAME]\r\nDEVICENUMBER=33000\r\n"
        "DEVICENAME1=A-ReceiptPrinter\r\n"
        "DEVICENAME33000=Far-TicketPrinter\r\n"
        "DEFAULTNAME=33000\r\n");
    EXPECT_EQ(l.models[0], (Items{"A"}));
    EXPECT_EQ(l.models[1], (Items{"Far"}));
    EXPECT_EQ(l.defaultClass, 1);
    EXPECT_EQ(l.defaultModel, "Far");
}

TEST_F(PrinterListsTest, ANegativeCountReadsNoEntry) {
    const PrinterLists l = Read(
        "[DEVICENAME]\r\nDEVICENUMBER=-3\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEFAULTNAME=1\r\n");
    EXPECT_EQ(l.hasModels, 0);
    EXPECT_TRUE(l.models[0].empty());
    // The default entry is read all the same: its class is marked, nothing selected.
    EXPECT_EQ(l.defaultClass, 0);
    EXPECT_EQ(l.defaultIndex, -1);
}

TEST_F(PrinterListsTest, TheSamplePackagePreselectsItsDefaultModel) {
    m.InsertMedium(INSTALIX_PACKAGE_DIR);
    ConfigReader reader(m.platform());
    const PrinterLists l = ReadPrinterLists(reader);
    EXPECT_EQ(l.models[0], (Items{"MTR-Q5", "MTR-C30", "MTR-R80"}));
    EXPECT_EQ(l.models[1], (Items{"MTR-T2", "MTR-T300", "MTR-T76"}));
    EXPECT_EQ(l.models[2], (Items{"MTR-L58", "MTR-L108", "MTR-L40"}));
    EXPECT_EQ(l.models[3], (Items{"MTR-E80", "MTR-E58"}));
    EXPECT_EQ(l.defaultClass, 0);
    EXPECT_EQ(l.defaultIndex, 0);
    EXPECT_EQ(l.defaultModel, "MTR-Q5");
}

// A mistyped count must not keep the printer page reading for hours: the
// walk stops at 100,000 entries, and a count near INT32_MAX ends too.
TEST_F(PrinterListsTest, AHugeDeviceCountEndsAtAHundredThousandEntries) {
    for (const char* count : {"99999999999", "2147483647", "100001"}) {
        const auto t0 = std::chrono::steady_clock::now();
        const PrinterLists l = Read(std::string("[DEVICENAME]\r\nDEVICENUMBER=") + count +
                                    "\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEVICENAME100000=Z-ReceiptPrinter\r\n"
                                    "DEVICENAME100001=Y-ReceiptPrinter\r\n");
        EXPECT_EQ(l.models[0], (Items{"A", "Z"})) << count;
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << count;
    }
}

