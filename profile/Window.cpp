#include "Window.h"

#include <new>
#include <stdexcept>
#include <system_error>

#include "AnsiText.h"
#include "SystemError.h"

void CreateControls(HWND parent, std::span<const ControlSpec> controls, HFONT font) {
    for (const ControlSpec& c : controls) {
        HWND control = CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style,
                                       c.x, c.y, c.width, c.height, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                       GetModuleHandleW(nullptr), nullptr);
        if (!control) throw std::system_error(static_cast<int>(GetLastError()),
                                              std::system_category(), "CreateWindowExW");
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

UniqueHFont CreateMessageFont() {
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return UniqueHFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

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
