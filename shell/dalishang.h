// The information window inviting dealers.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TTDailishang : public TForm {
    LEXDRILL_CLASS(TTDailishang)
public:
    using TForm::TForm;

    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label8 = nullptr;
    TButton* Button1 = nullptr;

    // The maker's details complete the stored captions.
    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
};

extern TTDailishang* TDailishang;
