// The about window: the dealer's name, contact details and web site, read afresh at every show;
// the web-site label acts as a link to the dealer's document.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TAbout : public TForm {
    LEXDRILL_CLASS(TAbout)
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
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TButton* Button1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Label7MouseMove(TObject* Sender, unsigned Shift, int X, int Y);
    void Label7MouseLeave(TObject* Sender);
    void Label7Click(TObject* Sender);
};

extern TAbout* About;
