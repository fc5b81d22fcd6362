// The skin-data component: carries one skin file in its owner's stored layout, unpacks and
// parses it, and holds the parsed skin that every skinned window and control draws from.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "GdiHandles.h"
#include "Graphics.h"
#include "ImgList.h"
#include "SkinElements.h"
#include "SkinValues.h"
#include "Streams.h"
#include "StringList.h"

class TControl;
class TCustomIniFile;
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
    // leaves the component not loaded. A file that cannot be used raises its error (or tells
    // the user) and is not re-applied: the windows keep the previous skin.
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
    // less keeps the skin as it was; otherwise the skin is loaded at once (not while designed),
    // and re-applied to the windows already drawn from this component.
    void ReadSkinStream(TStream& stream);
    void WriteSkinStream(TStream& stream) const;
    const TMemoryStream& SkinStream() const { return FSkinStream; }

    // Opens the stored skin and parses its description, in memory. False when the container is
    // of another version (the reader has told the user). Raises an Exception when the container
    // holds no description. Either leaves the previous records whole; a parse that fails gives
    // back every window drawn from them, whose records it has half replaced.
    bool LoadSkin();
    // Reads a description into the records and colours; images come from the container the
    // description came from.
    void ParseDescription(const TCustomIniFile& ini, TSkinReader& images);
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
    // Has the manager re-apply the newly parsed records to this component's windows.
    void Reload();
    void AddDefaultSkin3rd();
    void ReadFrameEdges(const TCustomIniFile& ini);
    void ReadColours(const TCustomIniFile& ini);
    void ReadTitleButtons(const TCustomIniFile& ini, const TStringList& sections);
    void ReadMDIControls(const TCustomIniFile& ini, size_t first);
    void ReadButtons(const TCustomIniFile& ini);
    void ReadTitle(const TCustomIniFile& ini);
    void ReadBarElement(const TCustomIniFile& ini);
    void ReadMenuBar(const TCustomIniFile& ini);
    std::unique_ptr<TDataSkinObject> ReadElement(const TCustomIniFile& ini, const std::string& section);
    std::unique_ptr<TDataSkinBorder> ReadElement2(const TCustomIniFile& ini, const std::string& section,
                                                  const std::string& key);
    void ReadRGBKeys(const TCustomIniFile& ini, const std::string& section, const std::string& prefix,
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
