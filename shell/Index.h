// The main window: the full-screen frame around the service's pages.
#pragma once

#include "Forms.h"
#include "WinSkinData.h"

class TForm10 : public TForm {
    LEXDRILL_CLASS(TForm10)
public:
    using TForm::TForm;

    TSkinData* SkinData1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
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
