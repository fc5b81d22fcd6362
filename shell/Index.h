// The main window: the full-screen frame around the service's pages.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "IdHTTP.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "WebBrowser.h"
#include "WinSkinData.h"

class TForm10 : public TForm {
    LEXDRILL_CLASS(TForm10)
public:
    using TForm::TForm;

    TPanel* Panel1 = nullptr;
    TButton* Button2 = nullptr;
    TWebBrowser* WebBrowser2 = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;
    TSplitter* Splitter2 = nullptr;
    TWebBrowser* WebBrowser7 = nullptr;
    TEdit* Edit4 = nullptr;
    TTimer* Timer1 = nullptr;
    TIdHTTP* IdHTTP1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TSkinData* SkinData1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer1Timer(TObject* Sender);
    void Splitter3Moved(TObject* Sender);
    void Splitter4Moved(TObject* Sender);
    void Button2Click(TObject* Sender);
    // Top area: hidden by N3 and N11, shown by N7 and N12.
    void N3Click(TObject* Sender);
    void N4Click(TObject* Sender);
    void N7Click(TObject* Sender);
    void N11Click(TObject* Sender);
    void N12Click(TObject* Sender);
    void N15Click(TObject* Sender);
    void N16Click(TObject* Sender);
    void N17Click(TObject* Sender);
    void WebBrowser1BeforeNavigate2(TObject* Sender, IDispatch* pDisp, const std::string& URL, const VARIANT& Flags,
                                    const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                                    bool& Cancel);
    void WebBrowser1DocumentComplete(TObject* Sender, IDispatch* pDisp, const std::string& URL);
    void WebBrowser2BeforeNavigate2(TObject* Sender, IDispatch* pDisp, const std::string& URL, const VARIANT& Flags,
                                    const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                                    bool& Cancel);
    void WebBrowser2DocumentComplete(TObject* Sender, IDispatch* pDisp, const std::string& URL);
    // The right pane navigates freely: nothing to do for its events.
    void WebBrowser7BeforeNavigate2(TObject* Sender, IDispatch* pDisp, const std::string& URL, const VARIANT& Flags,
                                    const VARIANT& TargetFrameName, const VARIANT& PostData, const VARIANT& Headers,
                                    bool& Cancel);
    void WebBrowser7DocumentComplete(TObject* Sender, IDispatch* pDisp, const std::string& URL);

    // Hands over to the updater when the published version differs from the installed one;
    // may end the process. Does nothing once the update window was opened from the menu.
    void CheckVersion();
    // Tells once per run that the splitter can be dragged.
    void ShowDragHint();
    // Ends the process at once, with exit code 0: nothing is freed or closed.
    [[noreturn]] void HardExit();

    // The bytes of Source after the first StartMarker and before the first EndMarker, both
    // searched from the start of Source and never from inside a double-byte GBK character. A
    // missing start marker counts as found at position 0 (the copy then begins at the byte
    // numbered by the marker's length); a missing end marker, or one ahead of the start, gives
    // an empty text.
    static std::string ExtractBetween(const std::string& Source, const std::string& StartMarker,
                                      const std::string& EndMarker);
};

extern TForm10* Form10;

// While on, a navigation in the left (top) pane is cancelled there and opened in the right pane.
extern bool LeftPaneRedirect;
extern bool TopPaneRedirect;
// When the main window was last shown: the countdown runs from it.
extern TDateTime ShowTime;
// "1" once the update window has been opened from the menu: the automatic checks stop then.
extern std::string UpdateMenuUsed;
