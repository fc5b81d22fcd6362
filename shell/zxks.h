// The exam-assembly window.
#pragma once

#include "Forms.h"

class Txzks : public TForm {
    LEXDRILL_CLASS(Txzks)
public:
    using TForm::TForm;
};

extern Txzks* xzks;
