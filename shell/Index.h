// The main window: the full-screen frame around the service's pages.
#pragma once

#include "Forms.h"
#include "WinSkinData.h"

class TForm10 : public TForm {
    LEXDRILL_CLASS(TForm10)
public:
    using TForm::TForm;

    TSkinData* SkinData1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Ends the process at once, with exit code 0: nothing is freed or closed.
    [[noreturn]] void HardExit();
};

extern TForm10* Form10;
