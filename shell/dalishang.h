// The information window inviting dealers.
#pragma once

#include "Forms.h"

class TTDailishang : public TForm {
    LEXDRILL_CLASS(TTDailishang)
public:
    using TForm::TForm;
};

extern TTDailishang* TDailishang;
