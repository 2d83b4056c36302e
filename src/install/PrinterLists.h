// The printer page's four model lists and its preselection, as read from
// setup.ini through the configuration reader.
#pragma once

#include <string>
#include <vector>

#include "config/ConfigReader.h"

struct PrinterLists {
    // The models of each class (index = PrinterClass), in device-entry order.
    std::vector<std::string> models[4];
    // 1 when any list holds a model.
    int hasModels = 0;
    // The class of the configured default entry, 0 to 3, or -1 when it has
    // none: the page's m_class.
    int defaultClass = -1;
    // The entry CB_FINDSTRING finds for the default name in that class's
    // list, or -1 (then the list has no selection).
    int defaultIndex = -1;
    // The text of that entry, or empty: the page's m_model.
    std::string defaultModel;
};

// Reads the device entries and the default entry.  Entries without a known
// class suffix are left out.
PrinterLists ReadPrinterLists(ConfigReader& config);

// CB_FINDSTRING on an unsorted combo box: the first entry, searching from
// the one after `start` (from entry 0 when start is -1 or out of range),
// wrapping round and ending with `start` itself, that begins with `text`
// without regard to ASCII letter case.  -1 when none does, and for an
// empty text.
int ComboFindString(const std::vector<std::string>& items, int start, const std::string& text);
