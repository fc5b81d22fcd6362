#include "ProcessUsage.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

TUsage Usage()
{
    TUsage usage{static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
                 static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)), 0};
    if (usage.gdi == 0)
        for (ULONG_PTR h = 1; h < 0x10000; ++h)
            usage.gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
    if (usage.user == 0)
        for (ULONG_PTR h = 1; h < 0x10000; ++h) {
            DWORD process = 0;
            const auto window = reinterpret_cast<HWND>(h);
            usage.user += (IsWindow(window) && GetWindowThreadProcessId(window, &process) &&
                           process == GetCurrentProcessId()) ||
                          IsMenu(reinterpret_cast<HMENU>(h));
        }
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                usage.heap += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return usage;
}

void ExpectNoGrowth(const char* what, const TUsage& before, const TUsage& after)
{
    printf("%s: GDI objects %ld -> %ld, windows and menus %ld -> %ld, heap bytes %zu -> %zu\n", what, before.gdi,
           after.gdi, before.user, after.user, before.heap, after.heap);
    // A leak in a cycle leaves one object or more per cycle; a few more may be alive at the moment
    // of counting on a loaded machine (a paint in flight), which is no leak.
    EXPECT_LE(after.gdi, before.gdi + 4) << what << ": GDI objects";
    EXPECT_LE(after.user, before.user) << what << ": windows and menus";
    EXPECT_LT(after.heap, before.heap + 64 * 1024) << what << ": heap bytes";
}

int SoakCycles()
{
    const char* cycles = getenv("LEXDRILL_SOAK_CYCLES");
    return cycles ? atoi(cycles) : 100;
}
