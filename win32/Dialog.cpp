#include "Dialog.h"

#include <cmath>
#include <new>
#include <stdexcept>
#include <system_error>

#include "../profile/AnsiText.h"
#include "SystemError.h"

void DescribeCurrentException(DWORD& code, std::wstring& description) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        code = ERROR_NOT_ENOUGH_MEMORY;
        description = SystemErrorText(code);
    } catch (const std::system_error& e) {
        code = static_cast<DWORD>(e.code().value());
        description = SystemErrorText(code);
    } catch (const std::exception& e) {
        code = ERROR_INTERNAL_ERROR;
        description = FromAnsi(e.what());
    } catch (...) {
        code = ERROR_INTERNAL_ERROR;
        description = SystemErrorText(code);
    }
}

bool RouteDialogMessage(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    return root && IsDialogMessageW(root, &msg);
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (RouteDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

HWND HiddenOwnerWindow() {
    static const UniqueHWnd owner(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    return owner.get();
}

void DisableControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (GetFocus() == control) SendMessageW(dialog, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(control, FALSE);
}

void CentreOnScreen(HWND hwnd) {
    RECT frame;
    GetWindowRect(hwnd, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetWindowIcons(HWND hwnd, int iconId) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Shared icons belong to the system's cache: nobody destroys them.
    auto icon = [&](int sizeMetric) {
        const int size = GetSystemMetrics(sizeMetric);
        return reinterpret_cast<LPARAM>(
            LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_SHARED));
    };
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, icon(SM_CXICON));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, icon(SM_CXSMICON));
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast = {sizeof contrast};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

namespace {

// Functions of newer systems than the oldest the programs run on, looked up when first needed.
template <class Function>
Function* User32Function(const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

UINT WindowDpi(HWND hwnd) {
    static const auto getDpiForWindow = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd)) return dpi;
    }
    HDC dc = GetDC(hwnd);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(hwnd, dc);
    return static_cast<UINT>(dpi);
}

ControlFont::ControlFont(const wchar_t* face, double points, bool bold, std::initializer_list<int> controls)
    : face_(face), points_(points), bold_(bold), controls_(controls) {}

void ControlFont::Apply(HWND window, UINT dpi) {
    // Where the system scales dialogs per monitor, it would give these controls the dialog's font
    // on a DPI change; they keep their own, which the window makes again for the new DPI.
    static const auto keepControlFont =
        User32Function<BOOL WINAPI(HWND, int, int)>("SetDialogControlDpiChangeBehavior");
    constexpr int kDisableFontUpdate = 1;  // DCDC_DISABLE_FONTUPDATE
    const int height = -static_cast<int>(std::lround(points_ * dpi / 72));
    UniqueHFont font(CreateFontW(height, 0, 0, 0, bold_ ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                 face_));
    for (int id : controls_) {
        HWND control = GetDlgItem(window, id);
        if (keepControlFont) keepControlFont(control, kDisableFontUpdate, kDisableFontUpdate);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);  // the controls no longer use the old one
}
