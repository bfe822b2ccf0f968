#pragma once
// What the launcher's three windows share: one lasting instance each, whose window is loaded
// (hidden, running its load step) the first time anything touches it and again after each
// unload; and the skin, the colours the window and its controls are painted in.
#include <windows.h>

#include "../win32/Dialog.h"

// Gives the keyboard to the launcher's main window, if it is shown.
void ActivateMainWindow();

// Derived provides kTemplateId (its dialog template), kOwnedByHiddenWindow (true keeps it out
// of the taskbar), kFirstFocus (the control that has the focus when it is shown) and
// FormMessage, which gets every message but the control-colour ones. Its WM_INITDIALOG returns
// FALSE: a window loaded hidden must not take the keyboard from the one the user sees.
template <class Derived>
class LauncherForm : public Dialog<Derived> {
public:
    static Derived& Instance() {
        static Derived instance;
        return instance;
    }

    // Loads the window hidden unless it is loaded. False when it could not be created.
    bool Load() {
        if (this->IsLoaded()) return true;
        return this->Create(Derived::kTemplateId, Derived::kOwnedByHiddenWindow ? HiddenOwnerWindow() : nullptr);
    }

    // Shows the window, loading it first if need be, and brings it forward. A window that was
    // hidden gets the focus on its first control; one already shown keeps it where it was.
    void Show(int showCommand = SW_SHOW) {
        if (!Load()) return;
        const bool wasHidden = !IsWindowVisible(this->hwnd());
        ShowWindow(this->hwnd(), showCommand);
        SetForegroundWindow(this->hwnd());
        if (wasHidden)
            SendMessageW(this->hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(this->Item(Derived::kFirstFocus)), TRUE);
    }

    // Unloads the window. When it had the keyboard, the main window, which the user sees, takes it.
    void Close() {
        if (GetActiveWindow() == this->hwnd()) ActivateMainWindow();
        this->Unload();
    }

    // Paints the window and every control on it in `colour` with black text, loading the
    // window first. The colours stay with the instance, so a window loaded again later comes
    // back in them. While high contrast is on, the window shows the system's colours instead.
    void PaintSkin(COLORREF colour) {
        if (!Load()) return;
        skinBrush_.reset(CreateSolidBrush(colour));
        skinColour_ = colour;
        Repaint();
    }

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CTLCOLORDLG:     // the window
        case WM_CTLCOLORSTATIC:  // labels, frames and their captions, the icon's background
        case WM_CTLCOLOREDIT:    // the path box, the skin combo's text field
        case WM_CTLCOLORLISTBOX: // the mod list, the skin combo's drop-down list
            // Push buttons ask with WM_CTLCOLORBTN, which is left alone: they keep the standard face.
            // No skin yet, or high contrast on: the system's colours.
            if (!skinBrush_ || HighContrastOn()) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
            SetBkColor(reinterpret_cast<HDC>(wParam), skinColour_);
            return reinterpret_cast<INT_PTR>(skinBrush_.get());
        case WM_SYSCOLORCHANGE:  // the system's colours: painted again at once
            Repaint();
            return static_cast<Derived*>(this)->FormMessage(message, wParam, lParam);
        case WM_SETTINGCHANGE:  // broadcast for every setting; of them, only high contrast changes the colours
            if (wParam == SPI_SETHIGHCONTRAST) Repaint();
            return static_cast<Derived*>(this)->FormMessage(message, wParam, lParam);
        default:
            return static_cast<Derived*>(this)->FormMessage(message, wParam, lParam);
        }
    }

private:
    void Repaint() const {
        RedrawWindow(this->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }

    UniqueHBrush skinBrush_;
    COLORREF skinColour_ = 0;
};
