// A stand-in for the game, for tests and the demo: it records how it was started and the mod the game would use
// into "<its own name>-report-<process id>.txt" beside itself (UTF-16, "name=value" lines), then shows the same
// unless MOTHVAR_STANDIN_QUIET is set. Under another name it stands in for other programs the launcher starts.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH * 4] = {}, current[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    GetCurrentDirectoryW(MAX_PATH * 4, current);
    const std::wstring program = std::wstring(path).substr(0, std::wstring(path).find_last_of(L'.'));
    const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
    STARTUPINFOW startup = {sizeof startup};
    GetStartupInfoW(&startup);
    wchar_t currentMod[256] = {};
    GetPrivateProfileStringW(L"mods", L"currentmod", L"", currentMod, 256, (folder + L"\\Varmoth.ini").c_str());

    std::wstring report = L"command_line=" + std::wstring(GetCommandLineW()) + L"\r\nworking_folder=" + current +
                          L"\r\nshow_state=" + std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) +
                          L"\r\ncurrent_mod=" + currentMod + L"\r\n";

    // Written under another name and renamed, so a reader never sees half a report.
    const std::wstring reportPath = program + L"-report-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    HANDLE file = CreateFileW((reportPath + L".partial").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    MoveFileExW((reportPath + L".partial").c_str(), reportPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (GetEnvironmentVariableW(L"MOTHVAR_STANDIN_QUIET", nullptr, 0) == 0)
        MessageBoxW(nullptr, report.c_str(), L"Mothvar (stand-in game)", MB_OK | MB_ICONINFORMATION);
    return 0;
}
