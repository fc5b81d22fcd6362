// The exam-paper window: created at start-up and never shown.
#pragma once

#include "Forms.h"

class Tsjzt : public TForm {
    LEXDRILL_CLASS(Tsjzt)
public:
    using TForm::TForm;
};

extern Tsjzt* sjzt;
