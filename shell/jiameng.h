// The information window inviting teachers and specialists to join.
#pragma once

#include "Forms.h"

class TTjiameng : public TForm {
    LEXDRILL_CLASS(TTjiameng)
public:
    using TForm::TForm;
};

extern TTjiameng* Tjiameng;
