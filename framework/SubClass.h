// Subclassing a bare window (one without a framework object: a message box, a "#32768" menu
// window, a foreign child) through its GWLP_WNDPROC.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "Controls.h"

// While it lives, the window's messages go to the handler, which passes them on to the
// window's previous procedure with CallPrevious (not passing one on consumes it). The
// destructor puts the previous procedure back when the window's procedure is still ours; when
// someone has subclassed the window since, it cannot, and the subclass stays behind as a pass-
// through to the previous procedure until the window is destroyed. Several subclasses, ours and
// others', may stack on one window and go in any order.
class TWindowSubclass {
public:
    using THandler = std::function<void(TMessage& message)>;

    // Raises when the window cannot be subclassed (no window, another process's window).
    TWindowSubclass(HWND window, THandler handler);
    ~TWindowSubclass();
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    HWND Window() const;
    // Passes the message to the previous procedure and stores its result in the message. False
    // when meanwhile the window was destroyed or this subclass was freed (with its owner,
    // perhaps): the caller must then touch nothing of the owner. Safe to call when this object
    // is freed during the call.
    bool CallPrevious(TMessage& message);
    // False once the window has been destroyed.
    bool WindowAlive() const;

    struct TState;  // what the window's procedure finds, kept until it no longer leads there

private:
    std::shared_ptr<TState> state_;
};
