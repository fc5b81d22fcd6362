// The update window.
#pragma once

#include "Forms.h"

class TForm7 : public TForm {
    LEXDRILL_CLASS(TForm7)
public:
    using TForm::TForm;
};

extern TForm7* Form7;
