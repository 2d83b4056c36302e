// The printer page: one radio button and one model list per printer class,
// and whether the new printer becomes the default one.
#pragma once

#include "config/ConfigReader.h"
#include "dialog/DialogBase.h"

class PrinterPage : public DialogBase {
public:
    explicit PrinterPage(const sys::Platform& platform);

    // The chosen model, NUL-terminated; all zero when none is chosen.
    char m_model[200];
    // Reads setup.ini beside the program.
    ConfigReader m_config;
    // PrinterClass 0 to 3, or -1 when no class is chosen.
    int m_class = 0;
    // Check box IDC_SET_DEFAULT: make the new printer the default one.
    int m_setDefault = 0;
    // 1 when any list offers a model.
    int m_hasModels = 0;

    // The radio buttons and lists by class.
    static const int kRadios[4];
    static const int kLists[4];

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool DoDataExchange(bool save) override;

private:
    void OnClass(int k);
    void OnModel(int k);
    // The selected entry of a list into m_model, or all zero.
    void TakeModel(int list);
};
