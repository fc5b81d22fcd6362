// The skin manager, which the first skin-data component to load creates: the thread hook that
// sees every window, the rules that decide which windows get a form skin or a pop-up menu skin,
// and the timer that switches skinning on, off or to a changed skin.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "GdiHandles.h"

class TCustomForm;
class TSkinData;
class TWinSkinForm;
class TWinSkinPopMenu;

// Changes of skinning that TSkinManage::SetMode applies.
enum TSkinMode : int { smSkinOn = 1, smSkinOff = 2, smReload = 3 };

// The skin engine's one coordinator. A thread hook sees every window of the GUI thread created,
// activated and destroyed; the manager decides which top-level windows get a form skin and which
// menu windows a pop-up menu skin, and owns both, keeps the skin-data components in
// registration order, and switches skinning on, off or to a changed skin through a 250 ms
// timer. Main (GUI) thread only.
class TSkinManage {
public:
    TSkinManage();
    // Unhooks and gives every skinned window back as if it were being destroyed.
    ~TSkinManage();
    TSkinManage(const TSkinManage&) = delete;
    TSkinManage& operator=(const TSkinManage&) = delete;

    // Records WinVersion and hooks this thread's windows (once).
    void InstallHook();
    void AddSkinData(TSkinData* skinData);
    // Also gives back the windows skinned from it and forgets a change it asked for.
    void RemoveSkinData(TSkinData* skinData);
    // Before the hook has seen a window activated, on and off apply at once; after that every
    // change waits for the timer, and a second change before the tick replaces the first.
    void SetMode(TSkinMode mode, unsigned interval);
    // Skins one top-level window of this thread when the rules allow; true when it got a form
    // skin.
    bool SkinWindow(HWND window);
    void SkinForm(TCustomForm* form);
    TWinSkinForm* FindFormSkin(HWND window) const;
    // Forgets a form skin without freeing it (its destructor calls this).
    void RemoveFormSkin(TWinSkinForm* formSkin);
    // A menu window ("#32768") being created gets a pop-up menu skin when the rules allow.
    void CreatePopupSkin(HWND window);
    // Detaches and frees the pop-up menu skin of a menu window; false when it has none.
    bool DropPopupSkin(HWND window);
    // Sets SkinMdiState's flag and fits every skinned MDI child to it.
    void SetMdiMaximized(bool value);
    // The MDI children whose windows live with a skin.
    int MdiChildCount() const;
    // Frees the caption buttons of the form skins drawn from skinData, whose records a parse
    // is about to replace. The next reload gives them new ones.
    void FreeSysButtons(const TSkinData* skinData);
    // Gives back every window drawn from skinData: its form skins and pop-up menu skins.
    void UnskinAll(const TSkinData* skinData);
    // The component that skins a window: its own form's, the dialog one for message boxes, the
    // main-form one, or the first registered.
    TSkinData* ChooseSkinData(HWND window) const;
    // The window-class filter of the first main-form component.
    bool CanSkinClass(const std::string& className) const;

    std::vector<TWinSkinForm*> FFormSkins;  // freed by the manager or with their form
    std::vector<std::unique_ptr<TWinSkinPopMenu>> FPopupSkins;
    std::vector<TSkinData*> FSkinDatas;     // in registration order, not owned
    bool FActive = false;                   // skinning is on
    bool FSkinAllPass = false;              // the timer is skinning every form
    // 1 from the first window activation on, plus one per only-this-form or dialog component.
    int FStartCount = 0;
    TSkinMode FMode = smSkinOn;             // the change waiting for the timer
    TSkinData* FPendingSkinData = nullptr;  // the component whose change the timer applies

private:
    static LRESULT CALLBACK SkinHookProc(int code, WPARAM wParam, LPARAM lParam);
    bool RefusesCreation(HWND window, const CBT_CREATEWNDA& create) const;
    void TimerTick();
    void PurgeClosed();
    // Detaches a form skin, redraws its window and frees it.
    void Unskin(TWinSkinForm* formSkin);
    bool IsEmbeddedChild(HWND window) const;
    static bool OfThisThread(HWND window);

    TTimer FTimer{nullptr};
    UniqueHook FHook;
};

// The skin manager; nullptr until the first skin-data component has loaded at run time.
extern TSkinManage* SkinManage;
// GetVersion() as the hook was installed; the top bit marks the Windows 95 family.
extern uint32_t WinVersion;
// Frees SkinManage; the application's shutdown does this too, before it frees the forms.
void FreeSkinManage();
