// The about window.
#pragma once

#include "Forms.h"

class TAbout : public TForm {
    LEXDRILL_CLASS(TAbout)
public:
    using TForm::TForm;
};

extern TAbout* About;
