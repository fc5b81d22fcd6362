// Controls: the window tree of the framework. Messages flow window procedure -> WindowProc ->
// the hooks others installed on it, newest first -> WndProc -> default handling. Controls
// without a window of their own (TGraphicControl) get their painting and mouse messages from
// their parent, through their WindowProc.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

// The framework's own messages.
constexpr UINT CM_BASE = 0xB000;
// Alt with a character typed in a control (or the form itself), sent to its form first; a
// non-zero result means the form took it.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_RELEASE = CM_BASE + 33;
// Notifications a parent receives from a child window come back to the child as CN_BASE + msg.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

using TWndMethod = std::function<void(TMessage&)>;
// A hook on a control's WindowProc passes a message on by calling next(message) (next is valid
// during the call only); not calling it consumes the message.
using TWndHook = std::function<void(TMessage& message, const TWndMethod& next)>;
using THookId = unsigned;  // 0 is never an id

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TShiftStateFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, unsigned Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, unsigned Shift, int X, int Y)>;

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crHSplit = -14;
constexpr TCursor crHandPoint = -21;
HCURSOR CursorHandle(TCursor cursor);

class TWinControl;
LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

class TControl : public TComponent {
    LEXDRILL_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent* parent) override;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
    virtual void SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }
    TPoint ClientToScreen(TPoint p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // Controls take their parent's font until a font property of their own is set.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool on);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool on);
    const std::string& Caption() const { return text_; }
    void SetCaption(const std::string& text) { SetText(text); }
    const std::string& Text() const { return text_; }
    virtual void SetText(const std::string& text);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }
    const std::string& Hint() const { return hint_; }

    // The entry of every message: the hooks, newest first, then WndProc.
    void WindowProc(TMessage& message);
    // Hooks come and go in any order, also while a message is being dispatched: a hook removed
    // meanwhile is not called any more, and one added meanwhile sees the next message. An
    // unknown id is ignored.
    THookId HookWindowProc(TWndHook hook);
    void UnhookWindowProc(THookId id);
    bool WindowProcHooked(THookId id) const;
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual void Invalidate();
    virtual void Click();

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    // Handles what every control handles, then DefaultHandler for the rest.
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);
    // The font's properties changed (the new font is in place when this runs).
    virtual void FontChanged();
    // A left-button press and release on the control clicks it (windows of the platform's
    // button class click through their own notification instead).
    bool clickOnMouseUp_ = false;

private:
    struct THook {
        THookId id;
        TWndHook proc;
        bool installed;
    };
    struct TDispatch;
    static void CallHooks(const TDispatch& dispatch, size_t count, TMessage& message);
    void MouseMessage(TMessage& message);
    void ParentFontChanged();
    void ParentColorChanged();
    friend class TWinControl;
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);

    std::vector<std::shared_ptr<THook>> hooks_;  // oldest first
    // False once the control is gone: a dispatch it was freed in touches it no more.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseDown_ = false;
    TColor color_ = clBtnFace;
    TFont font_;
    bool parentFont_ = true;
    bool parentColor_ = false;
    bool fontPending_ = false;
    std::string text_;
    std::string hint_;
    TCursor cursor_ = crDefault;
};

// A control without a window: its parent sends it WM_PAINT with the parent's DC in wParam,
// the origin moved to the control's top-left corner and the drawing clipped to it, and hands it
// mouse messages.
class TGraphicControl : public TControl {
    LEXDRILL_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) { clickOnMouseUp_ = true; }
    // Draws on the DC of the WM_PAINT being handled; no DC outside one.
    TCanvas& Canvas() { return canvas_; }
    virtual void Paint(TCanvas& canvas) = 0;

protected:
    void WndProc(TMessage& message) override;

private:
    TCanvas canvas_;
};

class TWinControl : public TControl {
    LEXDRILL_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();  // created on demand
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    void SetBounds(int left, int top, int width, int height) override;
    TRect ClientRect() const override;
    void SetClientSize(int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetText(const std::string& text) override;
    void Invalidate() override;
    // Invalidates part of the client area (where a graphic child lies, for example).
    void InvalidateRect(const TRect& rect);

    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }
    // Places the aligned children in the client area again.
    void Realign();
    // Holds the placing of the aligned children while the window passes through sizes it does
    // not keep; the last EnableAlign places them once, for the size it ends with.
    void DisableAlign() { ++alignLocks_; }
    void EnableAlign();
    // The child (graphic or windowed) at a client point, the topmost one; nullptr for none.
    TControl* ControlAtPos(TPoint p) const;
    // Graphic children are drawn on this control's window after its own painting.
    void PaintControls(HDC dc);

    // Finds the framework control of a window of this process, if it has one; never creates
    // a window.
    static TWinControl* FindControl(HWND handle);

protected:
    struct TCreateParams {
        std::string className;   // a window class of the platform, or empty for one of ours
        std::string ownClassName;  // ours: the name to register it under; empty: the shared class
        HICON icon = nullptr;      // ours, when registered under its own name
        DWORD style = 0;
        DWORD exStyle = 0;
        HWND parent = nullptr;
        HMENU menu = nullptr;
    };
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void DestroyHandle();
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void FontChanged() override;
    // Paints the client area of a window of our own class.
    virtual void PaintWindow(HDC dc);
    virtual void AlignControls(TRect& rect);
    void UpdateBounds();

private:
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
    void WMPaint(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void Reflect(TMessage& message, HWND child);
    // A solid brush of the control's colour, made again only when the colour changes.
    HBRUSH ColorBrush();

    HWND handle_ = nullptr;
    bool windowDying_ = false;  // WM_DESTROY has come
    WNDPROC defaultProc_ = nullptr;  // the platform class's procedure for a subclassed control
    std::vector<TControl*> controls_;
    bool doubleBuffered_ = false;
    bool aligning_ = false;
    int alignLocks_ = 0;
    TControl* captureControl_ = nullptr;  // the graphic child that holds the mouse
    UniqueBrush brush_;
    TColor brushColor_ = 0;
};

// A windowed control of our own window class with a canvas to paint on.
class TCustomControl : public TWinControl {
    LEXDRILL_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) { clickOnMouseUp_ = true; }

protected:
    virtual void Paint(TCanvas& canvas);
    void PaintWindow(HDC dc) override;
};
