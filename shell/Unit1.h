// The login window.
#pragma once

#include "Forms.h"

class TForm1 : public TForm {
    LEXDRILL_CLASS(TForm1)
public:
    using TForm::TForm;

    // Ends the process at once, as the main window's exit does; nothing calls it.
    [[noreturn]] void win_api();
};

extern TForm1* Form1;
