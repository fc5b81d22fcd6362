// The gallery's shots (gallery.cpp), for the gallery program and for tests: each opens its
// windows, hands them to the camera and closes them again. The client must exist, its main
// window's skin-data component switched on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TGalleryCamera {
    // A window, redrawn whole and settled.
    std::function<void(HWND window, const std::string& name)> Photograph;
    // A window with a menu of it open, from inside the menu's loop.
    std::function<void(HWND window, const std::string& name)> PhotographWithMenu;
};
extern TGalleryCamera GalleryCamera;

extern const std::vector<std::function<void()>> kShots;
// Each window the client opens, as the client opens it, active and inactive.
void ClientShots();

// Dispatches messages for a moment, for the windows to settle.
void Settle();
// Redraws a window whole, settles and hands it to the camera.
void Photograph(HWND w, const std::string& name);
void PhotographWithMenu(HWND w, const std::string& name);
