// What the tests of the control skins share: the flat-colour fixture skin (tests/data/formskin,
// packed by the build) loaded, framework forms with controls made, skinned or scanned, and the
// bare windows a test made destroyed after it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "Forms.h"
#include "SkinTesting.h"
#include "WindowTesting.h"

// A control of another maker, known to the scan by its class name only.
#define TEST_CONTROL_CLASS(Name, Base) \
    class Name : public Base {         \
        LEXDRILL_CLASS(Name)           \
    public:                            \
        using Base::Base;              \
    };                                 \
    LEXDRILL_PLAIN_CLASS(Name, Base)

class ControlSkinFixture : public ::testing::Test {
protected:
    // Form() places its forms there.
    ControlSkinFixture(int left, int top, int width, int height) : formBounds_{left, top, width, height} {}

    void SetUp() override
    {
        LoadSkinFile(data, LEXDRILL_FORMSKIN_FIXTURE);
        SetCursorPos(0, 0);
    }
    void TearDown() override
    {
        for (HWND w : windows)
            if (IsWindow(w))
                DestroyWindow(w);
    }

    TForm* Form()
    {
        auto* form = TComponent::Make<TForm>(&owner);
        form->SetBounds(formBounds_[0], formBounds_[1], formBounds_[2], formBounds_[3]);
        return form;
    }
    template <class T> T* Control(TForm* form, int left = 10, int top = 10, int width = 100, int height = 30)
    {
        auto* control = TComponent::Make<T>(form);
        control->SetParent(form);
        control->SetBounds(left, top, width, height);
        return control;
    }
    // A form shown and skinned as the manager skins it.
    TWinSkinForm& Skin(TForm* form)
    {
        form->Show();
        return SkinWindow(form, form->Handle(), data, form);
    }
    // A form skin that scans without attaching to a window.
    TWinSkinForm& Scanner(TForm* form)
    {
        auto& skin = *TComponent::Make<TWinSkinForm>(&owner);
        TFormSkinTesting::Aim(skin, &data, form);
        return skin;
    }
    // The skin the scan gave a control.
    template <class T> T* SkinOf(TWinSkinForm& skin, TWinControl* control)
    {
        return dynamic_cast<T*>(skin.FindControlByHandle(control->Handle()));
    }

    TComponent owner{nullptr};
    TSkinData& data = *TComponent::Make<TSkinData>(&owner);
    std::vector<HWND> windows;  // destroyed after the test

private:
    int formBounds_[4];
};
