// The skin-data component: carries one skin file in its owner's stored layout, unpacks and
// parses it, and holds the parsed skin that every skinned window and control draws from; and
// the skin manager, which the first component to load creates.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "ExtCtrls.h"
#include "GdiHandles.h"
#include "Graphics.h"
#include "ImgList.h"
#include "SkinElements.h"
#include "SkinValues.h"
#include "Streams.h"
#include "StringList.h"

class TControl;
class TIniFile;
class TSkinData;
class TSkinReader;

// Kinds of control and menu that can be skinned; the ordinal is the bit of TSkinControlTypes.
enum TSkinControlType {
    xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton,
    xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox,
    xcStatusBar, xcTab, xcSystemMenu, xcFastReport
};
using TSkinControlTypes = uint32_t;

constexpr TSkinControlTypes SkinControlBit(TSkinControlType type)
{
    return TSkinControlTypes{1} << type;
}

// How windows are chosen: every window of the program, only the owner form, or dialogs.
enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog };

using TOnFormSkin = std::function<void(TObject* Sender, const std::string& aName, bool& DoSkin)>;
using TOnSkinControl = std::function<void(TComponent* Sender, TSkinData* SkinData, TControl* Form,
                                          TControl* Control, const std::string& ControlClass,
                                          TComponent*& SkinnedControl)>;

// The [Colours] of a skin. Each is a colour value: explicit, or a system colour.
struct TSkinColours {
    TColor WindowText = SystemColor(8);
    TColor ButtonFace = SystemColor(15);
    TColor Scrollbar = SystemColor(0);
    TColor HilightText = SystemColor(14);
    TColor Hilight = SystemColor(13);
    TColor Menubar = SystemColor(15);
    TColor Menu = SystemColor(4);
    TColor MenuText = SystemColor(7);
    TColor ButtonText = SystemColor(18);
    TColor ButtonHilight = SystemColor(20);
    TColor Buttonlight = SystemColor(20);
    TColor ButtonShadow = SystemColor(16);
    TColor ButtonDkShadow = SystemColor(21);
    TColor MenuBarText = SystemColor(7);
    TColor TitleTextActive = SystemColor(9);
    TColor TitleTextNoActive = SystemColor(19);
};

class TSkinData : public TComponent {
    LEXDRILL_CLASS(TSkinData)
public:
    static constexpr const char* kDefaultVersion = "2.60.5.03";
    static constexpr TSkinControlTypes kDefaultSkinControls =
        SkinControlBit(xcFastReport) - 1;  // every kind but xcFastReport

    explicit TSkinData(TComponent* owner);
    // Unregisters from the skin manager, which gives back the windows skinned from this skin.
    ~TSkinData() override;
    void BeforeDestruction() override;

    // Published properties.
    bool Active() const { return FActive; }
    // Asks the skin manager to switch this component's skinning on or off; not while the
    // layout is read, and not on while no skin is loaded.
    void SetActive(bool value);
    int DisableTag() const { return FDisableTag; }
    void SetDisableTag(int value) { FDisableTag = value; }
    TSkinControlTypes SkinControls() const { return FSkinControls; }
    void SetSkinControls(TSkinControlTypes value) { FSkinControls = value; }
    TStringList& Skin3rd() { return FSkin3rd; }
    const TStringList& Skin3rd() const { return FSkin3rd; }
    void SetSkin3rd(const std::vector<std::string>& lines);
    const std::string& SkinFile() const { return FSkinFile; }
    // Loads the named skin file when it exists and has the manager apply it; a missing file
    // leaves the component not loaded.
    void SetSkinFile(const std::string& path);
    // "(Good)" while being designed with a skin stored, else "(none)".
    std::string SkinStore() const;
    TSkinFormType SkinFormtype() const { return FSkinFormtype; }
    void SetSkinFormtype(TSkinFormType value) { FSkinFormtype = value; }
    const std::string& Version() const { return FVersion; }
    void SetVersion(const std::string& value) { FVersion = value; }
    bool MenuUpdate() const { return FMenuUpdate; }
    void SetMenuUpdate(bool value) { FMenuUpdate = value; }

    TOnFormSkin OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TOnSkinControl OnSkinControl;

    // The stored skin: a 32-bit length, then that many bytes of skin file. A length of 0 or
    // less keeps the skin as it was; otherwise the skin is loaded at once (not while designed).
    void ReadSkinStream(TStream& stream);
    void WriteSkinStream(TStream& stream) const;
    const TMemoryStream& SkinStream() const { return FSkinStream; }

    // Opens the stored skin and parses its description. False when the container is of
    // another version (the reader has told the user). Raises an Exception when the container
    // holds no description, and passes on errors of the temporary description file.
    bool LoadSkin();
    // Reads a description file into the records and colours; images come from the container
    // being loaded (none outside LoadSkin). An unreadable file gives every default.
    void ParseDescription(const std::string& path);
    // The container image a description value names; empty when there is none or it is not a
    // readable BMP.
    void LoadSkinImage(TBitmap& bitmap, const std::string& value);

    void Loaded() override;
    // Registers with the skin manager (creating it) once the owner's layout has been read; a
    // main-form component installs the manager's hook and switches skinning on when Active.
    void OwnerLoaded();
    // Has the manager re-apply a newly loaded skin to the windows skinned from it.
    void RefreshSkin();

    // The window-class filter: DoSkin is true on entry.
    void CheckFormSkin(const std::string& aName, bool& DoSkin);
    void DoSkinChanged();

    // The parsed skin. The first six records always exist; the others only while their
    // section names an image, and are replaced by every parse.
    TDataSkinBorder Left{"Left"};
    TDataSkinBorder Right{"Right"};
    TDataSkinBorder Top{"Top"};
    TDataSkinBorder Bottom{"Bottom"};
    TDataSkinTitle Title{"Title"};
    TDataSkinButton Buttons{"Buttons"};
    std::vector<std::unique_ptr<TDataSkinSysButton>> FTitleButtons;
    std::unique_ptr<TDataSkinObject> MenuBar;  // [Personality] MenuBar
    std::unique_ptr<TDataSkinBorder> Progress;
    std::unique_ptr<TDataSkinObject> GroupBoxEdge;
    std::unique_ptr<TDataSkinObject> Toolbars;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge;
    std::unique_ptr<TDataSkinObject> ExtraImages;
    std::unique_ptr<TDataSkinObject> Headerbar;
    std::unique_ptr<TDataSkinObject> MenuItem;
    std::unique_ptr<TDataSkinObject> MenuBackground;
    std::unique_ptr<TDataSkinObject> Scrollbar;
    std::unique_ptr<TDataSkinObject> HorzScroll;
    std::unique_ptr<TDataSkinObject> VertScroll;
    std::unique_ptr<TDataSkinObject> HorzScrollThumb;
    std::unique_ptr<TDataSkinObject> VertScrollThumb;
    std::unique_ptr<TDataSkinObject> TrackbarThumbHorz;
    std::unique_ptr<TDataSkinObject> TrackbarThumbVert;
    std::unique_ptr<TDataSkinObject> TrackbarThumbLeft;
    std::unique_ptr<TDataSkinObject> TrackbarThumbRight;
    std::unique_ptr<TDataSkinObject> TrackbarThumbUp;
    std::unique_ptr<TDataSkinObject> TrackbarThumbDown;
    std::unique_ptr<TDataSkinBorder> UpDownHorz;
    std::unique_ptr<TDataSkinBorder> UpDownVert;
    TSkinColours Colours;

    // State the skinned windows share.
    bool FSkinLoaded = false;       // a description was parsed to its end
    bool FFramePainting = true;     // form skins paint their frames only while set
    TImageList FMenuGlyphs{16, 16}; // system-menu glyphs: restore, maximise, minimise, close
    TBitmap FIconImage;             // the caption icon for windows without one of their own
    UniqueBrush FButtonFaceBrush;   // solid brush of [Colours] ButtonFace

private:
    void AddDefaultSkin3rd();
    void ReadFrameEdges(const TIniFile& ini);
    void ReadColours(const TIniFile& ini);
    void ReadTitleButtons(const TIniFile& ini, const TStringList& sections);
    void ReadMDIControls(const TIniFile& ini, size_t first);
    void ReadButtons(const TIniFile& ini);
    void ReadTitle(const TIniFile& ini);
    void ReadBarElement(const TIniFile& ini);
    void ReadMenuBar(const TIniFile& ini);
    std::unique_ptr<TDataSkinObject> ReadElement(const TIniFile& ini, const std::string& section);
    std::unique_ptr<TDataSkinBorder> ReadElement2(const TIniFile& ini, const std::string& section,
                                                  const std::string& key);
    void ReadRGBKeys(const TIniFile& ini, const std::string& section, const std::string& prefix,
                     TColor& colour);
    void SetFrameCounts();

    bool FActive = false;
    int FDisableTag = 99;
    TSkinControlTypes FSkinControls = kDefaultSkinControls;
    TStringList FSkin3rd;
    std::string FSkinFile;
    TSkinFormType FSkinFormtype = sfMainform;
    std::string FVersion = kDefaultVersion;
    bool FMenuUpdate = true;
    TMemoryStream FSkinStream;
    // The container and the stream its images are extracted through, during a load only.
    TSkinReader* FReader = nullptr;
    TMemoryStream* FWorkStream = nullptr;
};

class TCustomForm;
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
    void FreeAllSysButtons();
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
