// The message pump that keeps the GUI thread's windows alive while an HTTP request blocks it.
#pragma once

#include <cstdint>

#include "Classes.h"

// Raised in a waiting request when the program is told to close meanwhile; silent, so the
// waiting handler unwinds to the message loop, which then ends.
class ERequestAborted : public EAbort {
public:
    using EAbort::EAbort;
};

class TIdAntiFreeze : public TComponent {
    LEXDRILL_CLASS(TIdAntiFreeze)
public:
    explicit TIdAntiFreeze(TComponent* owner);
    ~TIdAntiFreeze() override;

    // Published settings; see WaitFor for what they mean.
    int IdleTimeOut = 250;  // milliseconds
    bool ApplicationHasPriority = true;
    bool OnlyWhenIdle = true;

    // The process-wide pump: the last one created that still exists, or none.
    static TIdAntiFreeze* Current();

    // Returns once the auto-reset event is set. With a process-wide pump the thread's messages are
    // dispatched through the application object meanwhile; without one the thread simply blocks.
    static void Wait(void* event);

private:
    void WaitFor(void* event);

    uint64_t lastPump_ = 0;  // GetTickCount64 of the last pump
};
