// The control skins: one object per skinned control that sits in front of the control's message
// handling, lets the control paint and paints it over from the skin. A framework control is
// hooked through its WindowProc, a bare window through its window procedure. Main (GUI) thread
// only. This header holds their base and shared drawing; each family of skins has a header of
// its own: WinSubClassButtons.h, WinSubClassInputs.h, WinSubClassBoxes.h, WinSubClassTabs.h,
// WinSubClassScroll.h and WinSubClassLists.h.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "SubClass.h"

class TDataSkinObject;
class TSkinData;
class TWinSkinForm;

// FSkinState values.
enum TControlSkinState : int { cssCreated = 0, cssAttached = 1, cssColourBack = 2, cssDestroyed = 6 };
// FMouseState bits.
constexpr unsigned kMouseHot = 1, kMousePressed = 2;

// How a control skin paints. The base skin handles WM_PAINT, WM_ERASEBKGND and WM_PRINTCLIENT
// (a paint into the DC the message brings) for every skin by it.
enum TSkinPaintPolicy : int {
    // The control erases and paints, then the skin paints over it.
    ppOver,
    // The control paints without being erased first (its whole face is painted anyway, by the
    // control or by the skin), then the skin paints over it.
    ppOverUnerased,
    // The control erases and paints its client area; the skin paints its frame outside that,
    // after a paint without a DC, through the window DC. A DC the message brings holds the client
    // area only and gets nothing from the skin.
    ppFrame,
    // The skin alone paints; the control neither erases nor paints.
    ppInstead,
    // Nothing is painted, neither by the control nor by the skin.
    ppNone
};

class TSkinControl : public TComponent {
    LEXDRILL_CLASS(TSkinControl)
public:
    // The owner is the skinned framework control, or for a bare window the form skin.
    explicit TSkinControl(TComponent* owner);
    // Unhooks the control or window and leaves the form skin's list.
    ~TSkinControl() override;

    // Attaches to the owner, a framework windowed control; a second call does nothing.
    virtual void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool setColour);
    // Attaches to a bare window. Raises when the window cannot be subclassed.
    virtual void AttachWindow(HWND handle, TSkinData* skinData, TCanvas* canvas, TWinSkinForm* form);
    // Gives the control the colour it had before attaching.
    virtual void RestoreColor();
    // After a failed attach: unhooked, off the form skin's list, and holding nothing of the form
    // skin, which may go before this skin's owner frees it.
    void LeaveForm();
    // Before the control's own handling: false consumes the message.
    virtual bool BeforeMessage(TMessage& message);
    // After the control's own handling, with its result in the message.
    virtual void AfterMessage(TMessage& message);
    // Paints the whole window; dc 0: the window DC.
    virtual void PaintControl(HDC dc);
    // Draws the skin into dc; rect is the window rectangle moved to (0, 0).
    virtual void DrawControl(HDC, const TRect&) {}
    // Applies the current skin again.
    virtual void RefreshSkin();
    // How this skin paints; a skin that draws nothing over the control changes nothing.
    virtual TSkinPaintPolicy PaintPolicy() const { return ppOver; }

    // Invalidates the window and paints it at once.
    void Redraw();
    // Fills rect of dc with the skin's button face.
    void FillFace(HDC dc, const TRect& rect);

    HWND Handle() const { return FHandle; }
    // The window rectangle (screen) at the latest paint.
    const TRect& WindowRect() const { return FWindowRect; }
    TControl* GraphicControl() const { return FGraphicControl; }
    int SkinState() const { return FSkinState; }
    unsigned MouseState() const { return FMouseState; }
    bool Focused() const { return FFocused; }
    bool EnabledState() const { return FEnabled; }
    const std::string& Text() const { return FText; }
    // Whether attaching gives the control the skin's face colour.
    bool SetColour() const { return FSetColor; }

protected:
    // The message chain: BeforeMessage, the control's own handling, AfterMessage.
    void SkinWndProc(TMessage& message);
    // The control's own handling. False when the skin was freed meanwhile: the caller then
    // touches nothing of it.
    bool CallOldProc(TMessage& message);
    // Hooks the framework control (windowed or graphic) through its WindowProc.
    void HookControl(TControl* control);
    void UnhookControl();
    // False once this skin is freed: for loops of a skin's own that dispatch messages.
    std::shared_ptr<bool> Alive() const { return FAlive; }
    // Draws the skin alone for WM_PAINT or WM_PRINTCLIENT: into the DC the message brings, else
    // between BeginPaint and EndPaint.
    void HandlePaint(TMessage& message);
    // The control's own handling of WM_PRINT, with the DC's state put back after it: an edit
    // leaves its client clip there, and the skin draws outside it. As CallOldProc.
    bool PrintItself(TMessage& message);

    unsigned FMouseState = 0;
    TCanvas* FCanvas = nullptr;
    bool FEnabled = false;
    bool FFocused = false;
    std::string FText;
    std::unique_ptr<TWindowSubclass> FSubclass;  // a bare window's
    TSkinData* FSkinData = nullptr;
    HWND FHandle = nullptr;
    THookId FHookId = 0;  // the framework control's WindowProc hook
    TControl* FHookedControl = nullptr;
    TWinControl* FControl = nullptr;
    TRect FWindowRect;
    TControl* FGraphicControl = nullptr;
    bool FSetColor = false;
    TColor FOldColor = 0;
    bool FAttached = false;
    int FSkinState = cssCreated;
    TWinSkinForm* FSkinForm = nullptr;

private:
    const TWndMethod* FNext = nullptr;  // the hooked control's own handling, during a message
    // False once this skin is freed: a message it was freed in touches it no more.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Shared drawing of the control skins.
// One frame of a horizontal strip of the element, nine-slice, into rect of dc; magenta is
// transparent when the element's Trans is 1.
void DrawSkinFrame(HDC dc, const TRect& rect, TDataSkinObject& element, int frame, int frameCount);
// Text in rect, centred vertically one pixel above the middle; alignment is DT_LEFT,
// DT_CENTER or DT_RIGHT. Disabled text is drawn in the button-shadow colour. The text is plain
// whatever the style of the DC's font, and the DC is left as it was.
void DrawControlText(HDC dc, const TRect& rect, const std::string& text, bool enabled, UINT alignment);
// The glyph of an image list (none for index -1 or no list) and a one-line caption in rect,
// left (0), centred (1) or right (2), both centred vertically; a disabled caption in the
// button-shadow colour.
void DrawGlyphText(HDC dc, const TRect& rect, HIMAGELIST images, int imageIndex, const std::string& text,
                   int alignment, bool enabled);
