// What the process holds, for the leak checks of the skinned client.
#pragma once

#include <cstddef>

// GetGuiResources answers 0 under Wine: there the GDI objects are counted by their 16-bit handle
// values, which Wine accepts for any live object, and the windows and menus of this process
// likewise.
struct TUsage {
    long gdi;
    long user;    // windows and menus
    size_t heap;  // bytes in use in the process's heaps
};

TUsage Usage();

// Prints both counts, and fails on any growth of GDI objects, windows or menus, and on 64 KB
// more heap.
void ExpectNoGrowth(const char* what, const TUsage& before, const TUsage& after);

// How often a leak check repeats what it measures: 100, or LEXDRILL_SOAK_CYCLES for a longer run.
int SoakCycles();
