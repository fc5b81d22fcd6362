// The update window: checks the version page on demand and hands over to the updater.
#pragma once

#include <cstdint>
#include <string>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "IdAntiFreeze.h"
#include "IdHTTP.h"
#include "StdCtrls.h"

class TForm7 : public TForm {
    LEXDRILL_CLASS(TForm7)
public:
    using TForm::TForm;

    TPanel* Panel1 = nullptr;
    TLabel* Label6 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TButton* Button1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label9 = nullptr;
    TIdHTTP* IdHTTP1 = nullptr;
    TIdAntiFreeze* IdAntiFreeze1 = nullptr;

    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void IdHTTP1WorkBegin(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax);
    void IdHTTP1Work(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCount);
    // Replaces the updater's executable with the one named by UpgradeBaseUrl's address page.
    void dowUpdate();
};

extern TForm7* Form7;

// Where dowUpdate finds the updater and which version it records; nothing assigns them.
extern std::string UpgradeBaseUrl;
extern std::string UpgradeVersion;

// Tells the candidate that a new version is out, starts the updater and closes the main window,
// which ends the process.
void HandOverToUpdater();
