// The exam-paper window: created at start-up and never shown. Being created last, its anti-freeze
// is the process-wide pump that keeps the client's windows alive during every HTTP request.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "IdAntiFreeze.h"
#include "IdHTTP.h"
#include "StdCtrls.h"
#include "WebBrowser.h"

class Tsjzt : public TForm {
    LEXDRILL_CLASS(Tsjzt)
public:
    using TForm::TForm;

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;
    TIdAntiFreeze* IdAntiFreeze1 = nullptr;
    TIdHTTP* IdHTTP1 = nullptr;

    // Opens the address that Label1 holds; hiding leaves a blank page.
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    // Published, bound to nothing.
    void Button9Click(TObject*) {}
    void TabSheet3Show(TObject*) {}
    void TabSheet4Show(TObject*) {}
};

extern Tsjzt* sjzt;
