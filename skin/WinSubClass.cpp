#include "WinSubClass.h"

#include <optional>

#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"

LEXDRILL_PLAIN_CLASS(TSkinControl, TComponent)

TSkinControl::TSkinControl(TComponent* owner) : TComponent(owner) {}

TSkinControl::~TSkinControl()
{
    *FAlive = false;
    UnhookControl();
    FSubclass.reset();
    if (FSkinForm)
        FSkinForm->RemoveControl(this);
}

void TSkinControl::HookControl(TControl* control)
{
    FHookedControl = control;
    FHookId = control->HookWindowProc([this, alive = FAlive](TMessage& message, const TWndMethod& next) {
        if (!*alive) {
            next(message);
            return;
        }
        // Messages nest (SetFocus sends WM_SETFOCUS while a click is handled): each keeps its own.
        const TWndMethod* outer = FNext;
        FNext = &next;
        SkinWndProc(message);
        if (*alive)
            FNext = outer;
    });
}

void TSkinControl::UnhookControl()
{
    if (FHookedControl && FHookId)
        FHookedControl->UnhookWindowProc(FHookId);
    FHookedControl = nullptr;
    FHookId = 0;
}

void TSkinControl::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool setColour)
{
    if (FAttached)
        return;
    FSkinForm = form;
    FSkinData = skinData;
    FCanvas = canvas;
    FSetColor = setColour;
    FControl = dynamic_cast<TWinControl*>(Owner());
    if (!FControl)
        throw Exception("A control skin belongs to a windowed control");
    FHandle = FControl->Handle();
    HookControl(FControl);
    FControl->SetDoubleBuffered(true);
    form->AddControl(this);
    FFocused = GetFocus() == FHandle;
    FEnabled = !(GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED);
    FText = GetWindowCaption(FHandle);
    if (setColour) {
        FOldColor = FControl->Color();
        FControl->SetColor(skinData->Colours.ButtonFace);
    }
    FControl->Invalidate();
    FAttached = true;
    FSkinState = cssAttached;
}

void TSkinControl::AttachWindow(HWND handle, TSkinData* skinData, TCanvas* canvas, TWinSkinForm* form)
{
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    FHandle = handle;
    FEnabled = true;
    form->AddControl(this);
    FText = GetWindowCaption(handle);
    FSubclass = std::make_unique<TWindowSubclass>(handle, [this](TMessage& message) { SkinWndProc(message); });
    FAttached = true;
    FSkinState = cssAttached;
}

void TSkinControl::LeaveForm()
{
    UnhookControl();
    FSubclass.reset();
    if (FSkinForm)
        FSkinForm->RemoveControl(this);
    FSkinForm = nullptr;
    FCanvas = nullptr;
    FAttached = false;
}

void TSkinControl::RestoreColor()
{
    if (FSetColor && FControl)
        FControl->SetColor(FOldColor);
}

void TSkinControl::SkinWndProc(TMessage& message)
{
    auto alive = FAlive;
    if (!BeforeMessage(message) || !*alive)
        return;
    if (!CallOldProc(message))
        return;
    AfterMessage(message);
}

bool TSkinControl::CallOldProc(TMessage& message)
{
    auto alive = FAlive;
    if (FNext)
        (*FNext)(message);
    else if (FSubclass)
        FSubclass->CallPrevious(message);
    return *alive;
}

bool TSkinControl::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: {
        const TSkinPaintPolicy policy = PaintPolicy();
        if (policy == ppOver || policy == ppFrame)
            return true;
        message.Result = 1;
        return false;
    }
    case WM_PRINTCLIENT:
        if (!message.WParam)
            return true;  // nothing to print into
        [[fallthrough]];
    case WM_PAINT:
        switch (PaintPolicy()) {
        case ppInstead:
            HandlePaint(message);
            return false;
        case ppNone:
            // Validated, or the platform would ask again and again.
            if (message.Msg == WM_PAINT)
                ValidateRect(FHandle, nullptr);
            message.Result = 0;
            return false;
        default:
            return true;
        }
    case WM_NCDESTROY:
        if (CallOldProc(message)) {
            FSkinState = cssDestroyed;
            RestoreColor();
        }
        return false;
    default:
        return true;
    }
}

void TSkinControl::AfterMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        Redraw();
        break;
    case WM_SETTEXT:
        FText = message.LParam ? reinterpret_cast<const char*>(message.LParam) : "";
        Redraw();
        break;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        if (message.Msg == WM_PRINTCLIENT && !dc)
            break;
        switch (PaintPolicy()) {
        case ppOver:
        case ppOverUnerased:
            PaintControl(dc);
            break;
        case ppFrame:
            if (!dc)
                PaintControl(nullptr);
            break;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
}

void TSkinControl::PaintControl(HDC dc)
{
    RECT r;
    if (!FHandle || !GetWindowRect(FHandle, &r))
        return;
    FWindowRect = Rect(r.left, r.top, r.right, r.bottom);
    const TRect rect = Rect(0, 0, r.right - r.left, r.bottom - r.top);
    std::optional<WindowDC> own;
    if (!dc) {
        own.emplace(FHandle, WindowDC::WholeWindow);
        dc = own->Get();
    }
    // A DC the caller brought (WM_PRINT, WM_PRINTCLIENT) goes back as it came, whatever the skin sets.
    const SavedDC saved(dc);
    try {
        DrawControl(dc, rect);
    } catch (...) {
        // The control stays as the last paint left it.
    }
}

void TSkinControl::RefreshSkin()
{
    if (FSetColor && FControl)
        FControl->SetColor(FSkinData->Colours.ButtonFace);
    if (FHandle)
        InvalidateRect(FHandle, nullptr, TRUE);
    else if (FGraphicControl)
        FGraphicControl->Invalidate();
}

void TSkinControl::Redraw()
{
    RECT r;
    if (!FHandle || !GetWindowRect(FHandle, &r) || !GetParent(FHandle))
        return;
    const RECT client{0, 0, r.right - r.left, r.bottom - r.top};
    InvalidateRect(FHandle, &client, FALSE);
    UpdateWindow(FHandle);
}

void TSkinControl::FillFace(HDC dc, const TRect& rect)
{
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonFace)));
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &r, brush.get());
}

bool TSkinControl::PrintItself(TMessage& message)
{
    const SavedDC saved(reinterpret_cast<HDC>(message.WParam));
    return CallOldProc(message);
}

void TSkinControl::HandlePaint(TMessage& message)
{
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    std::optional<PaintDC> paint;
    if (!dc) {
        paint.emplace(FHandle);
        dc = paint->Get();
    }
    RECT r;
    if (GetWindowRect(FHandle, &r)) {
        FWindowRect = Rect(r.left, r.top, r.right, r.bottom);
        const SavedDC saved(dc);
        try {
            DrawControl(dc, Rect(0, 0, r.right - r.left, r.bottom - r.top));
        } catch (...) {
            // As in PaintControl: the last picture stays.
        }
    }
}

// ---------------------------------------------------------------------------------------------

void DrawSkinFrame(HDC dc, const TRect& rect, TDataSkinObject& element, int frame, int frameCount)
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const TRect margins = Rect(element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight);
    auto bitmap = StretchSkinFrame(Rect(0, 0, rect.Width(), rect.Height()), element.Image, margins, frame,
                                   frameCount, element.Tile != 0, false);
    if (element.Trans == 1)
        TransparentBlit(dc, rect, *bitmap, SkinKeyColor);
    else
        BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
}

void DrawControlText(HDC dc, const TRect& rect, const std::string& text, bool enabled, UINT alignment)
{
    if (rect.Right < rect.Left || rect.Bottom < rect.Top)
        return;
    const TCaptionTextState state(dc);
    RECT measured{rect.Left, rect.Top, rect.Right, rect.Bottom};
    DrawTextA(dc, text.c_str(), -1, &measured, alignment | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    RECT target{rect.Left, rect.Top + (rect.Height() - textHeight) / 2 - 1, rect.Right, 0};
    target.bottom = target.top + textHeight;
    if (alignment & DT_CENTER) {
        target.left = rect.Left + (rect.Width() - textWidth) / 2;
        target.right = target.left + textWidth;
    }
    if (!enabled)
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextA(dc, text.c_str(), -1, &target, alignment | DT_EXPANDTABS);
}

void DrawGlyphText(HDC dc, const TRect& rect, HIMAGELIST images, int imageIndex, const std::string& text,
                   int alignment, bool enabled)
{
    if (rect.Right < rect.Left || rect.Bottom < rect.Top)
        return;
    const TCaptionTextState state(dc);
    int glyphWidth = 0, glyphHeight = 0;
    if (imageIndex != -1 && images)
        ImageList_GetIconSize(images, &glyphWidth, &glyphHeight);
    else
        imageIndex = -1;
    RECT measured{0, 0, 0, 0};
    if (!text.empty())
        DrawTextA(dc, text.c_str(), -1, &measured, DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
    const int textWidth = measured.right - measured.left, textHeight = measured.bottom - measured.top;
    int x = 2;
    if (alignment == 1)
        x = (rect.Width() - glyphWidth - textWidth) / 2;
    else if (alignment == 2)
        x = rect.Width() - glyphWidth - textWidth - 2;
    if (imageIndex != -1)
        ImageList_Draw(images, imageIndex, dc, rect.Left + x, rect.Top + (rect.Height() - glyphHeight) / 2,
                       ILD_TRANSPARENT);
    if (text.empty())
        return;
    RECT target{rect.Left + x + glyphWidth + 1, rect.Top + (rect.Height() - textHeight) / 2, 0, 0};
    target.right = target.left + textWidth;
    target.bottom = target.top + textHeight;
    if (!enabled)
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextA(dc, text.c_str(), -1, &target, DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS);
}
