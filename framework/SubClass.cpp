#include "SubClass.h"

#include <array>
#include <utility>

#include "Forms.h"

struct TWindowSubclass::TState {
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    size_t slot = 0;
    THandler handler;
    bool released = false;         // the owner let go: messages go straight on
    bool destroyed = false;        // the window has had WM_NCDESTROY
    bool passedNcDestroy = false;  // the previous procedure has seen it
    // The window's reference: set while its procedure leads here.
    std::shared_ptr<TState> self;
};

namespace {

using TState = TWindowSubclass::TState;

// Each of our subclasses on one window has a procedure address of its own, one per slot, so
// that it can tell whether the window's procedure is still its own, and so that a message
// passed on through someone else's subclass comes to the right one. Nobody stacks eight.
constexpr size_t kSlots = 8;
const char* const kSlotProperties[kSlots] = {
    "LexdrillSubclass0", "LexdrillSubclass1", "LexdrillSubclass2", "LexdrillSubclass3",
    "LexdrillSubclass4", "LexdrillSubclass5", "LexdrillSubclass6", "LexdrillSubclass7"};

void Pass(TState& state, TMessage& message)
{
    if (message.Msg == WM_NCDESTROY)
        state.passedNcDestroy = true;
    message.Result = CallWindowProcA(state.previous, state.window, message.Msg, message.WParam, message.LParam);
    if (message.Msg == WM_NCDESTROY)
        state.destroyed = true;
}

LRESULT Dispatch(size_t slot, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* found = static_cast<TState*>(GetPropA(window, kSlotProperties[slot]));
    if (!found)
        return DefWindowProcA(window, msg, wParam, lParam);  // someone took our property away
    const std::shared_ptr<TState> state = found->self;  // kept while the message runs
    TMessage message{msg, wParam, lParam, 0};
    try {
        if (state->released)
            Pass(*state, message);
        else
            state->handler(message);
    } catch (...) {
        HandleCurrentException();
    }
    if (msg == WM_NCDESTROY) {
        // The procedures below must see it, whatever the handler did: they free what they hold.
        if (!state->passedNcDestroy) {
            TMessage last{msg, wParam, lParam, 0};
            Pass(*state, last);
        }
        state->destroyed = true;
        RemovePropA(window, kSlotProperties[slot]);
        state->self.reset();
    }
    return message.Result;
}

template <size_t Slot> LRESULT CALLBACK SlotProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(Slot, window, msg, wParam, lParam);
}

template <size_t... Slot> constexpr std::array<WNDPROC, sizeof...(Slot)> MakeSlotProcs(std::index_sequence<Slot...>)
{
    return {SlotProc<Slot>...};
}

constexpr std::array<WNDPROC, kSlots> kSlotProcs = MakeSlotProcs(std::make_index_sequence<kSlots>());

}  // namespace

TWindowSubclass::TWindowSubclass(HWND window, THandler handler) : state_(std::make_shared<TState>())
{
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId())
        throw Exception("Only a window of this program can be subclassed");
    if (!handler)
        throw Exception("A subclass needs a handler");
    size_t slot = 0;
    while (slot < kSlots && GetPropA(window, kSlotProperties[slot]))
        ++slot;
    if (slot == kSlots)
        throw Exception("Too many subclasses on one window");
    state_->window = window;
    state_->slot = slot;
    state_->handler = std::move(handler);
    // The previous procedure is known before ours is installed: nothing may come in between.
    state_->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!state_->previous || !SetPropA(window, kSlotProperties[slot], state_.get()))
        throw Exception(Format("Cannot subclass the window (error %lu)", GetLastError()));
    state_->self = state_;
    if (!SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kSlotProcs[slot]))) {
        const DWORD error = GetLastError();
        RemovePropA(window, kSlotProperties[slot]);
        state_->self.reset();
        throw Exception(Format("Cannot subclass the window (error %lu)", error));
    }
}

TWindowSubclass::~TWindowSubclass()
{
    TState& state = *state_;
    state.released = true;
    if (state.destroyed || !state.self)
        return;
    const auto ownProc = reinterpret_cast<LONG_PTR>(kSlotProcs[state.slot]);
    const bool ours = GetWindowLongPtrA(state.window, GWLP_WNDPROC) == ownProc;
    if (ours || !IsWindow(state.window)) {
        if (ours)
            SetWindowLongPtrA(state.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.previous));
        RemovePropA(state.window, kSlotProperties[state.slot]);
        state.self.reset();
    }
    // Otherwise someone subclassed the window after us: the state stays, passing messages on,
    // until the window is destroyed.
}

HWND TWindowSubclass::Window() const
{
    return state_->window;
}

bool TWindowSubclass::CallPrevious(TMessage& message)
{
    const std::shared_ptr<TState> state = state_;  // this object may be freed during the call
    Pass(*state, message);
    return !state->released && !state->destroyed;
}

bool TWindowSubclass::WindowAlive() const
{
    return !state_->destroyed;
}
