// The updater's window: fetches the published version, downloads the new client when it differs,
// records the version and starts the client.
#pragma once

#include <cstdint>
#include <string>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "IdAntiFreeze.h"
#include "IdHTTP.h"
#include "StdCtrls.h"

class TForm1 : public TForm {
    LEXDRILL_CLASS(TForm1)
public:
    using TForm::TForm;

    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TIdHTTP* IdHTTP1 = nullptr;
    TIdAntiFreeze* IdAntiFreeze1 = nullptr;

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void IdHTTP1WorkBegin(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax);
    void IdHTTP1Work(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCount);

    // Value of Key in section OLEDB5 of the current directory's Config.INI; empty when missing.
    std::string ReadConfig(const std::string& Key);
    // Writes Value into the Config.ini beside the updater's executable. A line break cannot be
    // stored (it would end the value and start a line of its own) and raises.
    void WriteConfig(const std::string& Section, const std::string& Key, const std::string& Value);
};

extern TForm1* Form1;
