// The login window: the product site's login page, which signals a successful login by
// navigating to an address that carries "wel" "登录" "come".
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "IdHTTP.h"
#include "WebBrowser.h"

class TForm1 : public TForm {
    LEXDRILL_CLASS(TForm1)
public:
    using TForm::TForm;

    TImage* Image1 = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;
    TIdHTTP* IdHTTP1 = nullptr;

    void FormShow(TObject* Sender);
    void WebBrowser1BeforeNavigate2(TObject* Sender, IDispatch* pDisp, const std::string& URL, const VARIANT& Flags,
                                    const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                                    bool& Cancel);
    // Shows the about window; nothing calls it.
    void N8Click(TObject* Sender);
    // Ends the process at once, as the main window's exit does; nothing calls it.
    [[noreturn]] void win_api();
};

extern TForm1* Form1;
