#include "IdAntiFreeze.h"

#include <algorithm>
#include <vector>

#include "Forms.h"

namespace {

std::vector<TIdAntiFreeze*>& Pumps()
{
    static std::vector<TIdAntiFreeze*> pumps;
    return pumps;
}

// A program told to close (its main window closed) must not stay alive until a stalled server
// answers: the waiting request is abandoned.
void ProcessMessages()
{
    Application->ProcessMessages();
    if (Application->Terminated())
        throw ERequestAborted("The request was abandoned: the program is closing");
}

}  // namespace

const TClassInfo& TIdAntiFreeze::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TIdAntiFreeze>("TIdAntiFreeze", TComponent::StaticClass())
        .Creatable()
        .Int("IdleTimeOut", [](TIdAntiFreeze& c, int v) { c.IdleTimeOut = v; })
        .Bool("ApplicationHasPriority", [](const TIdAntiFreeze& c) { return c.ApplicationHasPriority; },
              [](TIdAntiFreeze& c, bool v) { c.ApplicationHasPriority = v; })
        .Bool("OnlyWhenIdle", [](const TIdAntiFreeze& c) { return c.OnlyWhenIdle; },
              [](TIdAntiFreeze& c, bool v) { c.OnlyWhenIdle = v; })
        .Build();
    return info;
}

// Stored layouts create the pump by its class name.
[[maybe_unused]] static const bool registered = (RegisterComponentClass(TIdAntiFreeze::StaticClass()), true);

TIdAntiFreeze::TIdAntiFreeze(TComponent* owner) : TComponent(owner)
{
    Pumps().push_back(this);
}

TIdAntiFreeze::~TIdAntiFreeze()
{
    std::erase(Pumps(), this);
}

TIdAntiFreeze* TIdAntiFreeze::Current()
{
    return Pumps().empty() ? nullptr : Pumps().back();
}

void TIdAntiFreeze::Wait(void* event)
{
    if (TIdAntiFreeze* pump = Current())
        pump->WaitFor(event);
    else
        WaitForSingleObject(event, INFINITE);
}

// The thread sleeps on the request's event and its own queue together, so a wait costs nothing
// while neither moves. Input that arrives while the request is waiting on the network is always
// dispatched at once. When the request is ready and input is waiting too: OnlyWhenIdle on means
// the request goes on and the input waits until the request is idle again, but never longer than
// IdleTimeOut since the last pump (a fast transfer still paints and ticks); OnlyWhenIdle off means
// the input is dispatched first if ApplicationHasPriority is on, else at the next idle moment or
// after IdleTimeOut.
void TIdAntiFreeze::WaitFor(void* event)
{
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED)
            throw Exception(Format("Waiting for the request failed (%lu)", GetLastError()));
        const bool ready = woke == WAIT_OBJECT_0;
        const bool input = woke == WAIT_OBJECT_0 + 1 || (ready && HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0);
        const ULONGLONG now = GetTickCount64();
        const bool due = now - lastPump_ >= static_cast<ULONGLONG>(std::max(IdleTimeOut, 0));
        if (input && (!ready || due || (!OnlyWhenIdle && ApplicationHasPriority))) {
            lastPump_ = now;
            ProcessMessages();
        }
        if (ready)
            return;
    }
}
