// Whether a window's texts read as laid out: every label that shows is wholly shown, its text
// fits it, and it touches no other control.
#pragma once

#include <string>
#include <vector>

class TWinControl;

// What is wrong, one line a fault, in root's visible controls (empty when nothing is). A label
// wholly outside its parents' client areas or wholly under a window beside it does not show and
// is passed over, as are the pictures a label lies on.
std::vector<std::string> TextClashes(TWinControl& root);

// The display's resolution in pixels an inch, and the one the run asks for in LEXDRILL_EXPECT_DPI
// (the display's own when it asks none).
int ScreenDpi();
int ExpectedDpi();
