// The exam-assembly window: the product site's page on which the candidate chooses an exam; the
// page hands over the exam number and name by navigating to an address that carries them.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WebBrowser.h"

class Txzks : public TForm {
    LEXDRILL_CLASS(Txzks)
public:
    using TForm::TForm;

    TWebBrowser* WebBrowser1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;

    void FormShow(TObject* Sender);
    void WebBrowser1BeforeNavigate2(TObject* Sender, IDispatch* pDisp, const std::string& URL, const VARIANT& Flags,
                                    const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                                    bool& Cancel);
    // Published, bound to nothing.
    void R1Click(TObject*) {}
    void R2Click(TObject*) {}
};

extern Txzks* xzks;
