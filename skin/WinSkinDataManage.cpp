// The skin manager: the thread hook that sees every window, the rules that decide which windows
// get a form skin or a pop-up menu skin, and the timer that switches skinning on, off or to a
// changed skin.
#include "WinSkinDataManage.h"

#include <algorithm>
#include <utility>

#include "Forms.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"

TSkinManage* SkinManage = nullptr;
uint32_t WinVersion = 0;

void FreeSkinManage()
{
    // Out of the global first: nothing reaches a manager that is being torn down.
    std::unique_ptr<TSkinManage> manager(std::exchange(SkinManage, nullptr));
}

namespace {

// Set while the timer offers every form of the screen; cleared whatever happens.
class TAllPass {
public:
    explicit TAllPass(bool& flag) : flag_(flag) { flag_ = true; }
    ~TAllPass() { flag_ = false; }
    TAllPass(const TAllPass&) = delete;
    TAllPass& operator=(const TAllPass&) = delete;

private:
    bool& flag_;
};

}  // namespace

TSkinManage::TSkinManage()
{
    FTimer.SetEnabled(false);
    FTimer.SetInterval(250);
    FTimer.OnTimer = [this](TObject*) { TimerTick(); };
}

TSkinManage::~TSkinManage()
{
    FTimer.SetEnabled(false);
    FHook.reset();
    while (!FFormSkins.empty()) {
        TWinSkinForm* formSkin = FFormSkins.back();
        FFormSkins.pop_back();
        formSkin->DetachDestroyed();
        TComponent::Free(formSkin);
    }
    FPopupSkins.clear();  // each detaches as it goes
}

void TSkinManage::InstallHook()
{
    WinVersion = GetVersion();
    // One hook serves every main-form component.
    if (!FHook)
        FHook.reset(SetWindowsHookExA(WH_CBT, SkinHookProc, nullptr, GetCurrentThreadId()));
}

LRESULT CALLBACK TSkinManage::SkinHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    TSkinManage* manager = SkinManage;
    HHOOK hook = manager ? manager->FHook.get() : nullptr;
    if (code >= 0 && manager) {
        const auto window = reinterpret_cast<HWND>(wParam);
        try {
            switch (code) {
            case HCBT_CREATEWND:
                if (manager->RefusesCreation(window, *reinterpret_cast<CBT_CREATEWNDA*>(lParam)))
                    return 10;
                if (GetWindowClass(window) == "#32768")
                    manager->CreatePopupSkin(window);
                break;
            case HCBT_DESTROYWND:
                manager->DropPopupSkin(window);
                break;
            case HCBT_ACTIVATE:
                if (manager->FStartCount == 0)
                    manager->FStartCount = 1;
                manager->SkinWindow(window);
                break;
            default:
                break;
            }
        } catch (...) {
            HandleCurrentException();
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

bool TSkinManage::RefusesCreation(HWND window, const CBT_CREATEWNDA& create) const
{
    // A skinned frame has no room for the platform's size grip.
    return GetWindowClass(window) == "ScrollBar" && (create.lpcs->style & SBS_SIZEGRIP) &&
           FindFormSkin(create.lpcs->hwndParent);
}

void TSkinManage::AddSkinData(TSkinData* skinData)
{
    FSkinDatas.push_back(skinData);
}

void TSkinManage::RemoveSkinData(TSkinData* skinData)
{
    std::erase(FSkinDatas, skinData);
    // Nothing may use the component once it is gone: neither the timer nor a form skin.
    if (FPendingSkinData == skinData)
        FPendingSkinData = nullptr;
    UnskinAll(skinData);
}

void TSkinManage::UnskinAll(const TSkinData* skinData)
{
    PurgeClosed();
    for (size_t i = FFormSkins.size(); i-- > 0;)
        if (i < FFormSkins.size() && FFormSkins[i]->SkinData() == skinData)
            Unskin(FFormSkins[i]);
    std::erase_if(FPopupSkins, [skinData](const auto& popup) { return popup->FSkinData == skinData; });
}

void TSkinManage::SetMode(TSkinMode mode, unsigned interval)
{
    FMode = mode;
    FTimer.SetInterval(interval);
    if (FStartCount != 0)
        FTimer.SetEnabled(true);
    else if (mode == smSkinOn)
        FActive = true;
    else if (mode == smSkinOff)
        FActive = false;
}

bool TSkinManage::OfThisThread(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

bool TSkinManage::IsEmbeddedChild(HWND window) const
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) &&
           LowerCase(GetWindowClass(GetParent(window))) != "mdiclient";
}

bool TSkinManage::SkinWindow(HWND window)
{
    // Only a window of this thread can be subclassed, and the skins live on this thread.
    if (!FActive || !OfThisThread(window) || SendMessageA(window, WM_SKINQUERY, 0, 0) == 1)
        return false;
    PurgeClosed();
    if (FindFormSkin(window))
        return false;
    TCustomForm* form = Screen->FindForm(window);
    if (!FSkinAllPass && IsEmbeddedChild(window))
        return false;
    RECT bounds{};
    GetWindowRect(window, &bounds);
    if (bounds.right == bounds.left || bounds.bottom == bounds.top)
        return false;  // tried again at the next activation
    if (form && form->Tag() == 99)
        return false;
    const std::string className = GetWindowClass(window);
    if (className == "TApplication" || !CanSkinClass(className))
        return false;
    TSkinData* skinData = ChooseSkinData(window);
    if (!skinData || !skinData->FSkinLoaded)
        return false;

    // A framework form owns its skin, so the skin goes with the form.
    TWinSkinForm* formSkin = TComponent::Make<TWinSkinForm>(form);
    try {
        if (form)
            formSkin->AttachForm(skinData, form);
        else
            formSkin->AttachWindow(skinData, window);
    } catch (...) {
        TComponent::Free(formSkin);
        throw;
    }
    FFormSkins.push_back(formSkin);
    PostMessageA(window, WM_SKINSTART, 0, 1000);
    return true;
}

void TSkinManage::SkinForm(TCustomForm* form)
{
    // The framework has no MDI children: a form with WS_CHILD is embedded in another window.
    if (!form->Visible() || (GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CHILD))
        return;
    SkinWindow(form->Handle());
}

TSkinData* TSkinManage::ChooseSkinData(HWND window) const
{
    auto last = [this](auto&& fits) -> TSkinData* {
        for (auto it = FSkinDatas.rbegin(); it != FSkinDatas.rend(); ++it)
            if (fits(**it))
                return *it;
        return nullptr;
    };
    TSkinData* chosen = last([window](const TSkinData& skinData) {
        auto* owner = dynamic_cast<TWinControl*>(skinData.Owner());
        return skinData.SkinFormtype() == sfOnlyThisForm && owner && owner->HandleAllocated() &&
               owner->Handle() == window;
    });
    if (chosen)
        return chosen;
    const std::string className = LowerCase(GetWindowClass(window));
    if (className == "tmessageform" || className == "#32770")
        if ((chosen = last([](const TSkinData& skinData) { return skinData.SkinFormtype() == sfDialog; })))
            return chosen;
    if ((chosen = last([](const TSkinData& skinData) { return skinData.SkinFormtype() == sfMainform; })))
        return chosen;
    return FSkinDatas.empty() ? nullptr : FSkinDatas.front();
}

bool TSkinManage::CanSkinClass(const std::string& className) const
{
    bool doSkin = true;
    const auto mainForm = std::find_if(FSkinDatas.begin(), FSkinDatas.end(),
                                       [](const TSkinData* skinData) { return skinData->SkinFormtype() == sfMainform; });
    if (mainForm != FSkinDatas.end())
        (*mainForm)->CheckFormSkin(className, doSkin);
    return doSkin;
}

TWinSkinForm* TSkinManage::FindFormSkin(HWND window) const
{
    const auto found = std::find_if(FFormSkins.begin(), FFormSkins.end(),
                                    [window](const TWinSkinForm* formSkin) { return formSkin->Handle() == window; });
    return found == FFormSkins.end() ? nullptr : *found;
}

void TSkinManage::RemoveFormSkin(TWinSkinForm* formSkin)
{
    const auto found = std::find(FFormSkins.begin(), FFormSkins.end(), formSkin);
    if (found != FFormSkins.end())
        FFormSkins.erase(found);
}

void TSkinManage::CreatePopupSkin(HWND window)
{
    const bool skinned = std::any_of(FPopupSkins.begin(), FPopupSkins.end(),
                                     [window](const auto& popup) { return popup->FHandle == window; });
    if (!FActive || skinned || !OfThisThread(window) || SendMessageA(window, WM_SKINQUERY, 0, 0) == 1)
        return;
    // The menu bar's component decides: xcPopupMenu is for the items of pop-up menu components.
    TSkinData* skinData = ChooseSkinData(window);
    if (!skinData || !skinData->FSkinLoaded || !(skinData->SkinControls() & SkinControlBit(xcMainMenu)))
        return;
    auto popup = std::make_unique<TWinSkinPopMenu>();
    popup->Attach(window, skinData, nullptr);
    FPopupSkins.push_back(std::move(popup));
}

bool TSkinManage::DropPopupSkin(HWND window)
{
    const auto found = std::find_if(FPopupSkins.begin(), FPopupSkins.end(),
                                    [window](const auto& popup) { return popup->FHandle == window; });
    if (found == FPopupSkins.end())
        return false;
    FPopupSkins.erase(found);  // detaches as it goes
    return true;
}

void TSkinManage::PurgeClosed()
{
    for (size_t i = FFormSkins.size(); i-- > 0;) {
        if (i >= FFormSkins.size() || FFormSkins[i]->SkinState() != fssDestroyed)
            continue;
        TWinSkinForm* formSkin = FFormSkins[i];
        FFormSkins.erase(FFormSkins.begin() + static_cast<std::ptrdiff_t>(i));
        TComponent::Free(formSkin);
    }
}

void TSkinManage::Unskin(TWinSkinForm* formSkin)
{
    formSkin->Detach();
    TWinSkinForm::RedrawWindowNow(formSkin->Handle());
    RemoveFormSkin(formSkin);
    TComponent::Free(formSkin);
}

void TSkinManage::TimerTick()
{
    TSkinData* pending = FPendingSkinData;
    if (!pending)
        return;
    FTimer.SetEnabled(false);
    const bool onlyThisForm = pending->SkinFormtype() == sfOnlyThisForm;
    switch (FMode) {
    case smSkinOn: {
        FActive = true;
        const TAllPass allPass(FSkinAllPass);
        if (!onlyThisForm)
            PurgeClosed();
        // A copy: the list is the screen's, and skinning must not depend on it staying put.
        // Skinning one form may free another: each is used only while the screen still lists it.
        const std::vector<TCustomForm*> forms = Screen->Forms();
        for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
            if (std::find(Screen->Forms().begin(), Screen->Forms().end(), *it) == Screen->Forms().end())
                continue;
            if (!onlyThisForm) {
                SkinForm(*it);
            } else if (*it == pending->Owner()) {
                SkinForm(*it);
                break;
            }
        }
        break;
    }
    case smSkinOff:
        FActive = false;
        PurgeClosed();
        if (!onlyThisForm) {
            while (!FFormSkins.empty())
                Unskin(FFormSkins.back());
            break;
        }
        for (auto it = FFormSkins.rbegin(); it != FFormSkins.rend(); ++it)
            if ((*it)->SkinData() == pending) {
                Unskin(*it);
                break;
            }
        break;
    case smReload: {
        PurgeClosed();
        std::vector<TWinSkinForm*> changed;
        for (TWinSkinForm* formSkin : FFormSkins)
            if (formSkin->SkinData() == pending) {
                changed.push_back(formSkin);
                if (onlyThisForm)
                    break;
            }
        for (TWinSkinForm* formSkin : changed) {
            formSkin->FreeSysButtons();
            formSkin->LoadFrameMetrics();
        }
        for (TWinSkinForm* formSkin : changed)
            formSkin->ReSkin();
        break;
    }
    }
    pending->DoSkinChanged();
    FPendingSkinData = nullptr;
}

void TSkinManage::SetMdiMaximized(bool value)
{
    if (value == SkinMdiState.FMdiMaximized)
        return;
    SkinMdiState.FMdiMaximized = value;
    for (TWinSkinForm* formSkin : FFormSkins)
        if (formSkin->MDIKind() == mkChild)
            formSkin->FollowMdiMaximized(value);
}

int TSkinManage::MdiChildCount() const
{
    // A destroyed child's skin waits in the list for the next purge: it counts no more.
    return static_cast<int>(std::count_if(FFormSkins.begin(), FFormSkins.end(), [](const TWinSkinForm* formSkin) {
        return formSkin->MDIKind() == mkChild && formSkin->SkinState() != fssDestroying &&
               formSkin->SkinState() != fssDestroyed;
    }));
}

void TSkinManage::FreeSysButtons(const TSkinData* skinData)
{
    for (TWinSkinForm* formSkin : FFormSkins)
        if (formSkin->SkinData() == skinData)
            formSkin->FreeSysButtons();
}
