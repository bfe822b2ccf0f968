// A stand-in for the game, for tests and the demo: it records how it was started and what it
// read from the game's files into "Mothvar-report-<process id>.txt" beside itself (UTF-16,
// one "name=value" per line), then shows the same in a small window. With the environment
// variable MOTHVAR_STANDIN_QUIET set it writes the report and ends without a window.
#include <windows.h>

#include <string>

namespace {

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring Key(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[256] = {};
    GetPrivateProfileStringW(section, key, L"", value, 256, file.c_str());
    return value;
}

std::wstring BuildReport() {
    const std::wstring folder = OwnFolder();
    STARTUPINFOW startup = {sizeof startup};
    GetStartupInfoW(&startup);
    wchar_t current[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, current);

    std::wstring report;
    report += L"command_line=" + std::wstring(GetCommandLineW()) + L"\r\n";
    report += L"working_folder=" + std::wstring(current) + L"\r\n";
    report += L"show_state=" +
              std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) + L"\r\n";
    report += L"current_mod=" + Key(folder + L"\\Varmoth.ini", L"mods", L"currentmod") + L"\r\n";
    for (const wchar_t* key : {L"performence", L"bit", L"resoultion", L"screen", L"intro", L"sound", L"music"})
        report += std::wstring(key) + L"=" + Key(folder + L"\\vmtconfig.ini", L"options", key) + L"\r\n";
    return report;
}

void WriteReport(const std::wstring& report) {
    const std::wstring path = OwnFolder() + L"\\Mothvar-report-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    // Written under another name and renamed, so a reader never sees half a report.
    const std::wstring partial = path + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const std::wstring report = BuildReport();
    WriteReport(report);
    if (GetEnvironmentVariableW(L"MOTHVAR_STANDIN_QUIET", nullptr, 0) > 0) return 0;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"MothvarStandIn";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"MothvarStandIn", L"Mothvar (stand-in game)", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 640, 300, nullptr, nullptr, instance, nullptr);
    HWND text = CreateWindowW(L"EDIT", report.c_str(),
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 8, 8, 608, 240,
                              window, nullptr, instance, nullptr);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(window, showCommand);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
