#include "WinSkinData.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "Forms.h"
#include "ImgUtil.h"
#include "IniFiles.h"
#include "SkinRead.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"

namespace {

// Other component classes and the kind of skin each takes.
const char* const kDefaultSkin3rd[] = {
    "TTBDock=Panel", "TTBToolbar=Panel", "TImageEnMView=scrollbar", "TImageEnView=scrollbar",
    "TRzButton=button", "TRzCheckGroup=CheckGroup", "TRzRadioGroup=Radiogroup",
    "TRzRadioButton=Radiobutton", "TRzCheckBox=Checkbox", "TRzButtonEdit=Edit",
    "TRzDBRadioGroup=Radiogroup", "TRzDBRadioButton=Radiobutton", "TRzDBCheckBox=Checkbox",
    "TDBCheckboxEh=Checkbox", "TDBCheckboxEh=Checkbox", "TLMDCHECKBOX=Checkbox",
    "TLMDDBCHECKBOX=Checkbox", "TLMDRadiobutton=Radiobutton", "TLMDGROUPBOX=Panel",
    "TLMDSIMPLEPANEL=Panel", "TLMDDBCalendar=Panel", "TLMDButtonPanel=Panel",
    "TLMDLMDCalculator=Panel", "TLMDHeaderPanel=Panel", "TLMDTechnicalLine=Panel",
    "TLMDLMDClock=Panel", "TLMDTrackbar=trackbar", "TLMDListCombobox=combobox",
    "TLMDCheckListCombobox=combobox", "TLMDHeaderListCombobox=combobox",
    "TLMDImageCombobox=combobox", "TLMDColorCombobox=combobox", "TLMDFontCombobox=combobox",
    "TLMDFontSizeCombobox=combobox", "TLMDFontSizeCombobox=combobox",
    "TLMDPrinterCombobox=combobox", "TLMDDriveCombobox=combobox",
    "TLMDCalculatorComboBox=combobox", "TLMDTrackBarComboBox=combobox",
    "TLMDCalendarComboBox=combobox", "TLMDRADIOGROUP=radiogroup", "TLMDCheckGroup=CheckGroup",
    "TLMDDBRADIOGROUP=radiogroup", "TLMDDBCheckGroup=CheckGroup", "TLMDEDIT=Edit",
    "TLMDMASKEDIT=Edit", "TLMDBROWSEEDIT=Edit", "TLMDEXTSPINEDIT=Edit", "TLMDCALENDAREDIT=Edit",
    "TLMDFILEOPENEDIT=Edit", "TLMDFILESAVEEDIT=Edit", "TLMDCOLOREDIT=Edit", "TLMDDBEDIT=Edit",
    "TLMDDBMASKEDIT=Edit", "TLMDDBEXTSPINEDIT=Edit", "TLMDDBSPINEDIT=Edit",
    "TLMDDBEDITDBLookup=Edit", "TLMDEDITDBLookup=Edit", "TDBLookupCombobox=Combobox",
    "TWWDBCombobox=Combobox", "TWWDBLookupCombo=Combobox", "TWWDBCombobox=Combobox",
    "TWWKeyCombo=Combobox", "TWWTempKeyCombo=combobox", "TWWDBDateTimePicker=Combobox",
    "TWWRADIOGROUP=radiogroup", "TDXDBPICKEDIT=Combobox", "TDXDBCALCEDIT=Combobox",
    "TDXDBIMAGEEDIT=Combobox", "TDXDBPOPUPEDIT=Combobox", "TDXDBEXTLOOKUPEDIT=Combobox",
    "TDXDBLOOKUPEDIT=Combobox", "TDXDBDATEEDIT=Combobox", "TDXDATEEDIT=Combobox",
    "TDXPICKEDIT=Combobox", "TDXPOPUPEDIT=Combobox", "TDXDBCURRENCYEDIT=Edit", "TDXDBEDIT=Edit",
    "TDXDBMASKEDIT=Edit", "TDXDBHYPERLINKEDIT=Edit", "TDXEDIT=Edit", "TDXMASKEDIT=Edit",
    "TWWDBEDIT=Edit", "TDXBUTTONEDIT=Edit", "TDXCURRENCYEDIT=Edit", "TDXHYPERLINKEDIT=Edit",
    "TOVCPICTUREFIELD=Edit", "TOVCDBPICTUREFIELD=Edit", "TOVCSLIDEREDIT=Edit",
    "TOVCDBSLIDEREDIT=Edit", "TOVCSIMPLEFIELD=Edit", "TOVCDBSIMPLEFIELD=Edit",
    "TO32DBFLEXEDIT=Edit", "TOVCNUMERICFIELD=Edit", "TOVCDBNUMERICFIELD=Edit"
};

const char* const kPersonality = "Personality";

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The margins, key-colour switch and fill switch every element section holds, 0 when absent.
// The margins are clamped; the switches are compared, never computed with, and stay as read.
void ReadPlacement(const TCustomIniFile& ini, const std::string& section, TDataSkinObject& element)
{
    element.LeftWidth = ClampSkinSize(ini.ReadInteger(section, "LeftWidth", 0));
    element.RightWidth = ClampSkinSize(ini.ReadInteger(section, "RightWidth", 0));
    element.TopHeight = ClampSkinSize(ini.ReadInteger(section, "TopHeight", 0));
    element.BottomHeight = ClampSkinSize(ini.ReadInteger(section, "BottomHeight", 0));
    element.Trans = ini.ReadInteger(section, "Trans", 0);
    element.Tile = ini.ReadInteger(section, "Tile", 0);
}

}  // namespace

const TClassInfo& TSkinData::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TSkinData>("TSkinData", TComponent::StaticClass())
        .Creatable()
        .Bool("Active", [](const TSkinData& c) { return c.Active(); },
              [](TSkinData& c, bool v) { c.SetActive(v); })
        .Int("DisableTag", [](TSkinData& c, int v) { c.SetDisableTag(v); })
        .Set("SkinControls", {"xcMainMenu", "xcPopupMenu", "xcToolbar", "xcControlbar", "xcCombo",
                              "xcCheckBox", "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit",
                              "xcButton", "xcBitBtn", "xcSpeedButton", "xcPanel", "xcGroupBox",
                              "xcStatusBar", "xcTab", "xcSystemMenu", "xcFastReport"},
             [](TSkinData& c, unsigned v) { c.SetSkinControls(v); })
        .Strings("Skin3rd", [](TSkinData& c, const std::vector<std::string>& v) { c.SetSkin3rd(v); })
        .Str("SkinFile", [](TSkinData& c, const std::string& v) { c.SetSkinFile(v); })
        .Str("SkinStore", [](TSkinData&, const std::string&) {})  // computed: stored values are ignored
        .Enum<TSkinFormType>("SkinFormtype", {"sfMainform", "sfOnlyThisForm", "sfDialog"},
             [](const TSkinData& c) { return c.SkinFormtype(); },
             [](TSkinData& c, TSkinFormType v) { c.SetSkinFormtype(v); })
        .Str("Version", [](TSkinData& c, const std::string& v) { c.SetVersion(v); })
        .Bool("MenuUpdate", [](const TSkinData& c) { return c.MenuUpdate(); },
              [](TSkinData& c, bool v) { c.SetMenuUpdate(v); })
        .Event("OnFormSkin", &TSkinData::OnFormSkin)
        .Event("OnSkinChanged", &TSkinData::OnSkinChanged)
        .Event("OnSkinControl", &TSkinData::OnSkinControl)
        .Binary("SkinStream",
            [](TSkinData& c, const std::vector<uint8_t>& bytes) {
                TMemoryStream stream;
                stream.WriteBuffer(bytes.data(), bytes.size());
                stream.SetPosition(0);
                c.ReadSkinStream(stream);
            },
            [](const TSkinData& c) {
                TMemoryStream stream;
                c.WriteSkinStream(stream);
                return stream.Bytes();
            })
        .Build();
    return info;
}

[[maybe_unused]] static const bool registered = (RegisterComponentClass(TSkinData::StaticClass()), true);

TSkinData::TSkinData(TComponent* owner) : TComponent(owner)
{
    AddDefaultSkin3rd();
    TBitmap glyphs;
    glyphs.LoadFromResourceName(GetModuleHandleA(nullptr), "GLAZKITMENU");
    FMenuGlyphs.AddMasked(glyphs, clWhite);
}

TSkinData::~TSkinData()
{
    BeforeDestruction();
}

void TSkinData::BeforeDestruction()
{
    // While the skin is whole, and before the form skins attached to it by hand are told: the
    // manager gives back the windows it drew from it first.
    if (!(ComponentState() & csDestroying) && SkinManage)
        SkinManage->RemoveSkinData(this);
    TComponent::BeforeDestruction();
}

void TSkinData::AddDefaultSkin3rd()
{
    for (const char* line : kDefaultSkin3rd)
        FSkin3rd.Add(line);
}

void TSkinData::SetSkin3rd(const std::vector<std::string>& lines)
{
    FSkin3rd.Clear();
    for (const std::string& line : lines)
        FSkin3rd.Add(line);
}

void TSkinData::SetSkinFile(const std::string& path)
{
    FSkinLoaded = false;
    FSkinFile = path;
    if (ComponentState() & csDesigning) {
        if (!path.empty())
            FSkinStream.Clear();
        return;
    }
    if (!FileExists(path))
        return;
    FSkinStream.LoadFromFile(path);
    // A skin that cannot be used is not re-applied: the windows keep the previous one whole.
    if (LoadSkin())
        RefreshSkin();
}

void TSkinData::SetActive(bool value)
{
    if (value == FActive)
        return;
    FActive = value;
    if (ComponentState() & (csDesigning | csReading))
        return;
    // A skin that is not loaded is never switched on.
    const bool refused = value && !FSkinLoaded;
    if (FSkinFormtype == sfDialog || (FSkinFormtype == sfMainform && refused))
        return;
    if (!SkinManage)
        OwnerLoaded();
    if (FSkinFormtype == sfOnlyThisForm)
        SkinManage->FPendingSkinData = this;
    if (refused)
        return;
    SkinManage->SetMode(value ? smSkinOn : smSkinOff, 250);
    SkinManage->FPendingSkinData = this;
}

void TSkinData::Loaded()
{
    TComponent::Loaded();
    OwnerLoaded();
}

void TSkinData::OwnerLoaded()
{
    if (ComponentState() & csDesigning)
        return;
    if (!SkinManage) {
        SkinManage = std::make_unique<TSkinManage>().release();
        Application->AddShutdownHandler(FreeSkinManage);
    }
    SkinManage->AddSkinData(this);
    if (FSkinFormtype == sfMainform) {
        SkinManage->InstallHook();
        if (FActive) {
            if (FSkinLoaded)
                SkinManage->SetMode(smSkinOn, 250);
            else
                FActive = false;
        }
        return;
    }
    SkinManage->FActive = true;
    ++SkinManage->FStartCount;
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
        SkinManage->SkinWindow(form->Handle());
}

void TSkinData::RefreshSkin()
{
    if (ComponentState() & (csDesigning | csReading))
        return;
    if (!SkinManage)
        OwnerLoaded();
    Reload();
}

void TSkinData::Reload()
{
    SkinManage->FPendingSkinData = this;
    // Only this component's records are replaced: other components' windows keep their buttons.
    SkinManage->FreeSysButtons(this);
    SkinManage->SetMode(smReload, 250);
}

std::string TSkinData::SkinStore() const
{
    return (ComponentState() & csDesigning) && FSkinStream.Length() > 0 ? "(Good)" : "(none)";
}

void TSkinData::ReadSkinStream(TStream& stream)
{
    int32_t length = 0;
    stream.ReadBuffer(&length, sizeof length);
    if (length <= 0)
        return;
    if (length > stream.Size() - stream.Position())
        throw EReadError("Stream read error");
    FSkinStream.Clear();
    FSkinStream.CopyFrom(stream, length);
    if (ComponentState() & csDesigning)
        return;
    // Windows already drawn from this skin lose their caption buttons to the parse; the
    // reload gives them the new skin's, also when the stream is read into a live form.
    const bool drawn = SkinManage && std::any_of(SkinManage->FFormSkins.begin(), SkinManage->FFormSkins.end(),
                                                 [this](const TWinSkinForm* f) { return f->SkinData() == this; });
    if (LoadSkin() && drawn)
        Reload();
}

void TSkinData::WriteSkinStream(TStream& stream) const
{
    const auto length = static_cast<int32_t>(FSkinStream.Length());
    stream.WriteBuffer(&length, sizeof length);
    if (length > 0)
        FSkinStream.SaveToStream(stream);
}

bool TSkinData::LoadSkin()
{
    FSkinLoaded = false;
    if (ComponentState() & csDesigning)
        return false;

    // A skin refused before its description is parsed leaves the previous records whole, and
    // the windows drawn from them as they are.
    TSkinReader reader;
    if (!reader.LoadFromStream(FSkinStream))
        return false;
    TMemoryStream description;
    std::string name;
    reader.ExtractByPart(".ini", description, name);
    if (name.empty())
        throw Exception("The skin holds no description (no .ini entry)");
    try {
        ParseDescription(TMemIniFile(description), reader);
    } catch (...) {
        // Records half replaced: every window drawn from them goes back to its own frame.
        if (SkinManage)
            SkinManage->UnskinAll(this);
        throw;
    }
    return true;
}

void TSkinData::LoadSkinImage(TBitmap& bitmap, const std::string& value)
{
    const std::string name = SkinImageName(value);
    bitmap.SetSize(0, 0);
    if (name.empty() || !FReader)
        return;
    FReader->ExtractByName(name, *FWorkStream);
    if (FWorkStream->Length() == 0)
        return;
    try {
        bitmap.LoadFromStream(*FWorkStream);
    } catch (const EInvalidGraphic&) {
        // A damaged image is drawn as a missing one: the control keeps its own look.
    }
}

void TSkinData::ParseDescription(const TCustomIniFile& ini, TSkinReader& images)
{
    TMemoryStream work;
    FReader = &images;
    FWorkStream = &work;
    // Images come through a stream of the parse's own; neither it nor the caller's reader is
    // kept past the parse.
    struct TRelease {
        TSkinData& data;
        ~TRelease() { data.FReader = nullptr; data.FWorkStream = nullptr; }
    } release{*this};

    // The caption-button records are replaced: no form skin may keep one.
    if (SkinManage)
        SkinManage->FreeSysButtons(this);

    TStringList sections;
    ini.ReadSections(sections);

    // The colours come early: ButtonText is the default of every element's text colours.
    ReadFrameEdges(ini);
    ReadColours(ini);
    ReadTitleButtons(ini, sections);
    ReadButtons(ini);
    ReadTitle(ini);
    ReadBarElement(ini);
    ReadMenuBar(ini);
    GroupBoxEdge = ReadElement(ini, "GroupBoxEdge");
    Toolbars = ReadElement(ini, "Toolbars");
    Tabs = ReadElement2(ini, "Tabs", "Border");
    StatusBarEdges = ReadElement(ini, "StatusBarEdges");
    ComboButton = ReadElement2(ini, "ComboButton", "");
    if (ComboButton && !ComboButton->Image.Empty()) {
        ComboButton->Image2.Assign(ComboButton->Image);
        MirrorBitmap(ComboButton->Image2);
    }
    SunkEdge = ReadElement(ini, "SunkEdge");
    ExtraImages = ReadElement(ini, "ExtraImages");
    Headerbar = ReadElement(ini, "Headerbar");
    MenuItem = ReadElement(ini, "MenuItem");
    MenuBackground = ReadElement(ini, "MenuBackground");
    Scrollbar = ReadElement(ini, "Scrollbar");
    HorzScroll = ReadElement(ini, "HorzScroll");
    VertScroll = ReadElement(ini, "VertScroll");
    HorzScrollThumb = ReadElement(ini, "HorzScrollThumb");
    VertScrollThumb = ReadElement(ini, "VertScrollThumb");
    TrackbarThumbHorz = ReadElement(ini, "Trackbar.ThumbHorz");
    TrackbarThumbVert = ReadElement(ini, "Trackbar.ThumbVert");
    TrackbarThumbLeft = ReadElement(ini, "Trackbar.ThumbLeft");
    TrackbarThumbRight = ReadElement(ini, "Trackbar.ThumbRight");
    TrackbarThumbUp = ReadElement(ini, "Trackbar.ThumbUp");
    TrackbarThumbDown = ReadElement(ini, "Trackbar.ThumbDown");
    UpDownHorz = ReadElement2(ini, "UpDown.Horz", "GlyphImage");
    UpDownVert = ReadElement2(ini, "UpDown.Vert", "GlyphImage");
    // The scroll thumbs alone take their frame count from the description.
    for (auto* thumb : {&HorzScrollThumb, &VertScrollThumb})
        if (*thumb)
            (*thumb)->FrameCount = ClampFrameCount(ini.ReadInteger((*thumb)->Name, "FrameCount", 3), 3);
    SetFrameCounts();

    FButtonFaceBrush.reset(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Colours.ButtonFace))));
    FSkinLoaded = true;
}

void TSkinData::ReadFrameEdges(const TCustomIniFile& ini)
{
    for (TDataSkinBorder* edge : {&Left, &Right, &Top, &Bottom}) {
        const std::string& name = edge->Name;
        const int first = ClampSkinSize(ini.ReadInteger(kPersonality, name + "TopHeight", 0));
        const int last = ClampSkinSize(ini.ReadInteger(kPersonality, name + "BotHeight", 0));
        // Left and right are vertical strips, top and bottom horizontal ones.
        const bool vertical = edge == &Left || edge == &Right;
        edge->TopHeight = vertical ? first : 0;
        edge->BottomHeight = vertical ? last : 0;
        edge->LeftWidth = vertical ? 0 : first;
        edge->RightWidth = vertical ? 0 : last;
        edge->FrameCount = ClampFrameCount(ini.ReadInteger(kPersonality, name + "Frame", 1), 1);
        edge->Tile = ini.ReadInteger(kPersonality, name + "Stretch", 1);
        edge->Trans = ini.ReadInteger(kPersonality, name + "Trans", 1);
        LoadSkinImage(edge->Image, ini.ReadString(kPersonality, name, ""));
    }
}

void TSkinData::ReadColours(const TCustomIniFile& ini)
{
    const TSkinColours defaults;
    auto read = [&](const char* key, TColor def) {
        return ParseColourText(ini.ReadString("Colours", key, ""), def);
    };
    Colours.WindowText = read("WindowText", defaults.WindowText);
    Colours.ButtonFace = read("ButtonFace", defaults.ButtonFace);
    Colours.Scrollbar = read("Scrollbar", defaults.Scrollbar);
    Colours.HilightText = read("HilightText", defaults.HilightText);
    Colours.Hilight = read("Hilight", defaults.Hilight);
    Colours.Menubar = read("Menubar", Colours.ButtonFace);
    Colours.Menu = read("Menu", defaults.Menu);
    Colours.MenuText = read("MenuText", defaults.MenuText);
    Colours.ButtonText = read("ButtonText", defaults.ButtonText);
    Colours.ButtonHilight = read("ButtonHilight", defaults.ButtonHilight);
    Colours.Buttonlight = read("Buttonlight", defaults.Buttonlight);
    Colours.ButtonShadow = read("ButtonShadow", defaults.ButtonShadow);
    Colours.ButtonDkShadow = read("ButtonDkShadow", defaults.ButtonDkShadow);
    Colours.MenuBarText = read("MenuBarText", defaults.MenuBarText);
    Colours.TitleTextActive = read("TitleTextActive", defaults.TitleTextActive);
    Colours.TitleTextNoActive = read("TitleTextNoActive", defaults.TitleTextNoActive);
}

void TSkinData::ReadTitleButtons(const TCustomIniFile& ini, const TStringList& sections)
{
    FTitleButtons.clear();
    for (const std::string& section : sections) {
        const std::string upper = UpperCase(section);
        if (upper.rfind("BUTTON", 0) != 0 || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
            upper == "BUTTON.CHECKBOX")
            continue;
        auto button = std::make_unique<TDataSkinSysButton>(upper);
        button->Action = ini.ReadInteger(section, "Action", 0);
        button->Align = ini.ReadInteger(section, "Align", 0);
        button->Xcoord = ClampSkinOffset(ini.ReadInteger(section, "Xcoord", 0));
        button->Ycoord = ClampSkinOffset(ini.ReadInteger(section, "Ycoord", 0));
        button->Visibility = ini.ReadInteger(section, "Visibility", 0);
        button->Visibility1 = ini.ReadInteger(section, "Visibility1", 0);
        button->CombineOp = ini.ReadInteger(section, "CombineOp", -1);
        // A count below 1 is no count: the image's proportions decide, as without the key.
        button->FrameCount = ClampFrameCount(ini.ReadInteger(section, "frame", 0), 0);
        LoadSkinImage(button->Image, ini.ReadString(section, "ButtonImage", ""));
        if (button->FrameCount == 0) {
            const TBitmap& image = button->Image;
            button->FrameCount = 6;
            if (!image.Empty())
                button->FrameCount = static_cast<double>(image.Width()) / image.Height() > 3.8 ? 6 : 3;
            if (button->Action < 0)
                button->FrameCount = 6;
            // The icon kinds show the window's icon instead.
            if (button->Action == 3 || button->Action == 11)
                button->Image.SetSize(0, 0);
        }
        FTitleButtons.push_back(std::move(button));
    }

    // The minimise, restore and close buttons of a maximised MDI child, in the menu bar.
    const size_t first = FTitleButtons.size();
    for (int action = 7; action <= 9; ++action) {
        auto button = std::make_unique<TDataSkinSysButton>("MDICONTROLS");
        button->Action = action;
        button->Align = 100;
        button->Visibility = 100;
        button->Visibility1 = 100;
        button->FrameCount = 4;
        FTitleButtons.push_back(std::move(button));
    }
    ReadMDIControls(ini, first);
}

void TSkinData::ReadMDIControls(const TCustomIniFile& ini, size_t first)
{
    // One image of three buttons of four frames each, side by side.
    TBitmap source;
    LoadSkinImage(source, ini.ReadString("MDICONTROLS", "Image", ""));
    const int w = source.Width() / 12;
    const int h = source.Height();
    if (w == 0 || h == 0)
        return;
    for (int i = 0; i < 3; ++i) {
        TDataSkinSysButton& button = *FTitleButtons[first + static_cast<size_t>(i)];
        button.Image.SetPixelFormat(TPixelFormat::pf24bit);
        button.Image.SetSize(4 * w, h);
        button.Image.Canvas().CopyRect(TRect{0, 0, 4 * w, h}, source.Canvas(),
                                       TRect{4 * i * w, 0, 4 * (i + 1) * w, h});
        button.Xcoord = (3 - i) * (w + 4);
    }
}

void TSkinData::ReadButtons(const TCustomIniFile& ini)
{
    const char* const section = "Buttons";
    ReadPlacement(ini, section, Buttons);
    LoadSkinImage(Buttons.Image, ini.ReadString(section, "Bitmap", ""));
    LoadSkinImage(Buttons.CheckImage, ini.ReadString(section, "CheckButton", ""));
    LoadSkinImage(Buttons.RadioImage, ini.ReadString(section, "RadioButton", ""));
    Buttons.NormalColour = ini.ReadInteger(section, "NormalColour", -1);
    Buttons.MouseOverColour = ini.ReadInteger(section, "MouseOverColour", -1);
    Buttons.PressedColour = ini.ReadInteger(section, "PressedColour", -1);
    // Counts below 1 are worked out from the images.
    Buttons.RadioButtonFrame = ClampFrameCount(ini.ReadInteger(section, "RadioButtonFrame", 0), 0);
    Buttons.CheckButtonFrame = ClampFrameCount(ini.ReadInteger(section, "CheckButtonFrame", 0), 0);
    const std::string normal = ini.ReadString(section, "NormalColour2", "");
    const std::string mouseOver = ini.ReadString(section, "MouseOverColour2", "");
    const std::string pressed = ini.ReadString(section, "PressedColour2", "");
    Buttons.HasNormalColour2 = !normal.empty();
    Buttons.HasMouseOverColour2 = !mouseOver.empty();
    Buttons.HasPressedColour2 = !pressed.empty();
    Buttons.NormalColour2 = ParseColourText(normal, Colours.ButtonText);
    Buttons.MouseOverColour2 = ParseColourText(mouseOver, Colours.ButtonText);
    Buttons.PressedColour2 = ParseColourText(pressed, Colours.ButtonText);
}

void TSkinData::ReadTitle(const TCustomIniFile& ini)
{
    LoadSkinImage(Title.Image, ini.ReadString(kPersonality, "TextBack", ""));
    // The text's offsets may point either way, and so may the font height (a negative one
    // is a character height); the two ends of TextBack are widths.
    Title.LeftWidth = ClampSkinOffset(ini.ReadInteger(kPersonality, "TextShift", 0));
    Title.TopHeight = ClampSkinOffset(ini.ReadInteger(kPersonality, "TextShiftVert", 0));
    Title.RightWidth = ClampSkinOffset(ini.ReadInteger(kPersonality, "TextRightClip", 0));
    Title.BottomHeight = 0;
    Title.TextAlignment = ini.ReadInteger(kPersonality, "TextAlignment", 0);
    Title.Textbackground = ini.ReadInteger(kPersonality, "Textbackground", 0);
    Title.FontHeight = ClampSkinOffset(ini.ReadInteger("Fonts", "FontHeight", 14));
    Title.TXTBackleft = ClampSkinSize(ini.ReadInteger(kPersonality, "TXTBackleft", 0));
    Title.TXTBackRight = ClampSkinSize(ini.ReadInteger(kPersonality, "TXTBackRight", 0));
    Title.ActiveTextColour = kColourNotGiven;
    Title.InactiveTextColour = kColourNotGiven;
    ReadRGBKeys(ini, kPersonality, "ActiveText", Title.ActiveTextColour);
    ReadRGBKeys(ini, kPersonality, "InActiveText", Title.InactiveTextColour);
}

void TSkinData::ReadBarElement(const TCustomIniFile& ini)
{
    const char* const section = "Progress";
    const std::string bitmap = ini.ReadString(section, "Bitmap", "");
    if (bitmap.empty()) {
        Progress.reset();
        return;
    }
    Progress = std::make_unique<TDataSkinBorder>(section);
    LoadSkinImage(Progress->Image, bitmap);
    const std::string chunk = ini.ReadString(section, "Chunk", "");
    if (!chunk.empty())
        LoadSkinImage(Progress->Image2, chunk);
    Progress->Style = ini.ReadInteger(section, "Style", 0);
    ReadPlacement(ini, section, *Progress);
}

void TSkinData::ReadMenuBar(const TCustomIniFile& ini)
{
    const std::string image = ini.ReadString(kPersonality, "MenuBar", "");
    if (image.empty()) {
        MenuBar.reset();
        return;
    }
    MenuBar = std::make_unique<TDataSkinObject>(kPersonality);
    LoadSkinImage(MenuBar->Image, image);
    MenuBar->Tile = ini.ReadInteger(kPersonality, "TileMenu", 0);
    MenuBar->LeftWidth = ClampSkinSize(ini.ReadInteger(kPersonality, "TileLeftMenu", 1));
    MenuBar->RightWidth = ClampSkinSize(ini.ReadInteger(kPersonality, "TileRightMenu", 1));
}

namespace {

// What every element section holds besides its images.
void ReadElementValues(const TCustomIniFile& ini, const std::string& section, TDataSkinObject& element,
                       TColor textColour)
{
    ReadPlacement(ini, section, element);
    element.NormalColour = ini.ReadInteger(section, "NormalColour", -1);
    element.MouseOverColour = ini.ReadInteger(section, "MouseOverColour", -1);
    element.PressedColour = ini.ReadInteger(section, "PressedColour", -1);
    element.NormalColour2 = ParseColourText(ini.ReadString(section, "NormalColour2", ""), textColour);
    element.MouseOverColour2 = ParseColourText(ini.ReadString(section, "MouseOverColour2", ""), textColour);
    element.PressedColour2 = ParseColourText(ini.ReadString(section, "PressedColour2", ""), textColour);
    if (element.Tile > 1)
        element.Tile = 0;
}

}  // namespace

std::unique_ptr<TDataSkinObject> TSkinData::ReadElement(const TCustomIniFile& ini, const std::string& section)
{
    const std::string image = ini.ReadString(section, "Image", "");
    if (image.empty())
        return nullptr;
    auto element = std::make_unique<TDataSkinObject>(section);
    LoadSkinImage(element->Image, image);
    element->Style = ini.ReadInteger(section, "Style", 0);
    ReadElementValues(ini, section, *element, Colours.ButtonText);
    return element;
}

std::unique_ptr<TDataSkinBorder> TSkinData::ReadElement2(const TCustomIniFile& ini, const std::string& section,
                                                         const std::string& key)
{
    const std::string image = ini.ReadString(section, "Image", "");
    if (image.empty())
        return nullptr;
    auto element = std::make_unique<TDataSkinBorder>(section);
    LoadSkinImage(element->Image, image);
    const std::string second = key.empty() ? std::string() : ini.ReadString(section, key, "");
    if (!second.empty())
        LoadSkinImage(element->Image2, second);
    ReadElementValues(ini, section, *element, Colours.ButtonText);
    return element;
}

void TSkinData::ReadRGBKeys(const TCustomIniFile& ini, const std::string& section, const std::string& prefix,
                            TColor& colour)
{
    const int r = ini.ReadInteger(section, prefix + "R", -1);
    const int g = ini.ReadInteger(section, prefix + "G", -1);
    const int b = ini.ReadInteger(section, prefix + "B", -1);
    if (r >= 0 && g >= 0 && b >= 0)
        colour = r % 256 + 256 * (g % 256) + 65536 * (b % 256);
}

void TSkinData::SetFrameCounts()
{
    Buttons.FrameCount = 5;
    // Check and radio images hold square frames of 13 or 16 pixels, at least four of them.
    auto framesOf = [](const TBitmap& image) {
        return std::max(4, image.Width() / (image.Height() < 16 ? 13 : 16));
    };
    if (Buttons.RadioButtonFrame == 0)
        Buttons.RadioButtonFrame = framesOf(Buttons.RadioImage);
    if (Buttons.CheckButtonFrame == 0)
        Buttons.CheckButtonFrame = framesOf(Buttons.CheckImage);
    Title.FrameCount = 2;

    const std::pair<TDataSkinObject*, int> counts[] = {
        {MenuBar.get(), 2}, {Progress.get(), 2}, {GroupBoxEdge.get(), 2}, {Toolbars.get(), 5},
        {Tabs.get(), 5}, {StatusBarEdges.get(), 3}, {ComboButton.get(), 4}, {SunkEdge.get(), 4},
        {ExtraImages.get(), 5}, {Headerbar.get(), 5}, {MenuItem.get(), 5},
        {MenuBackground.get(), 1}, {Scrollbar.get(), 23}, {HorzScroll.get(), 4},
        {VertScroll.get(), 4}, {TrackbarThumbHorz.get(), 5}, {TrackbarThumbVert.get(), 5},
        {TrackbarThumbLeft.get(), 5}, {TrackbarThumbRight.get(), 5}, {TrackbarThumbUp.get(), 5},
        {TrackbarThumbDown.get(), 5}, {UpDownHorz.get(), 8}, {UpDownVert.get(), 8}};
    for (const auto& [element, count] : counts)
        if (element)
            element->FrameCount = count;
}

void TSkinData::CheckFormSkin(const std::string& aName, bool& DoSkin)
{
    if (OnFormSkin) {
        OnFormSkin(this, aName, DoSkin);
        return;
    }
    if (aName == "SysMonthCal32")
        DoSkin = false;
    else if ((FSkinControls & SkinControlBit(xcFastReport)) && aName.rfind("Tfr", 0) == 0)
        DoSkin = false;
}

void TSkinData::DoSkinChanged()
{
    if (OnSkinChanged)
        OnSkinChanged(this);
}
