#include "Shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "../profile/AnsiText.h"
#include "../profile/FileIO.h"
#include "../win32/ComApartment.h"
#include "../win32/Libraries.h"
#include "../win32/UniqueHandle.h"
#include "CommandLine.h"
#include "modMain.h"

namespace {

// What the shortcut needs of the COM and shell libraries, looked up when first needed.
struct ShellLibraries {
    decltype(&CoCreateInstance) coCreateInstance = nullptr;
    decltype(&CoTaskMemFree) coTaskMemFree = nullptr;
    decltype(&CreateStreamOnHGlobal) createStreamOnHGlobal = nullptr;
    decltype(&SHGetKnownFolderPath) shGetKnownFolderPath = nullptr;

    bool Loaded() const {
        return coCreateInstance && coTaskMemFree && createStreamOnHGlobal && shGetKnownFolderPath;
    }
};

template <class Function>
void Find(Function& function, HMODULE library, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const ShellLibraries& Libraries() {
    static const ShellLibraries libraries = [] {
        ShellLibraries found;
        const HMODULE ole = LoadSystemLibrary(L"ole32.dll"), shell = LoadSystemLibrary(L"shell32.dll");
        Find(found.coCreateInstance, ole, "CoCreateInstance");
        Find(found.coTaskMemFree, ole, "CoTaskMemFree");
        Find(found.createStreamOnHGlobal, ole, "CreateStreamOnHGlobal");
        Find(found.shGetKnownFolderPath, shell, "SHGetKnownFolderPath");
        return found;
    }();
    return libraries;
}

DWORD ErrorOf(HRESULT result) {
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result);
}

// The mod's name without its extension, with what a file name cannot hold made '_'.
std::wstring ShortcutName(const std::wstring& mod) {
    const size_t dot = mod.find_last_of(L'.');
    std::wstring name = dot == std::wstring::npos || dot == 0 ? mod : mod.substr(0, dot);
    std::replace_if(
        name.begin(), name.end(),
        [](wchar_t c) { return c < L' ' || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos; },
        L'_');
    return name + L" - Varmoth.lnk";
}

std::wstring ThisProgram() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// A shortcut keeps its target in the 8-bit code page too, and some shells (Wine's) start that
// one: outside the code page, the target's short (8.3) form, where the volume has one, serves.
std::wstring TargetPath(const std::wstring& path) { return StorablePath(path).value_or(path); }

// The shortcut's bytes, as the shell writes a .lnk file, so that they can be put in place in one step.
HRESULT ShortcutBytes(const ShellLibraries& shell, const std::wstring& mod, const std::wstring& icon,
                      std::string& bytes) {
    ComPtr<IShellLinkW> link;
    HRESULT result = shell.coCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                            reinterpret_cast<void**>(link.put()));
    if (FAILED(result)) return result;
    const std::wstring arguments = L"--mod " + QuoteArgument(mod) + L" --run";
    const std::wstring description = L"Varmoth with the mod " + mod;
    for (HRESULT step :
         {link.get()->SetPath(TargetPath(ThisProgram()).c_str()), link.get()->SetArguments(arguments.c_str()),
          link.get()->SetWorkingDirectory(modMain::AppFolder().c_str()), link.get()->SetIconLocation(icon.c_str(), 0),
          link.get()->SetDescription(description.c_str())})
        if (FAILED(step)) return step;
    ComPtr<IPersistStream> persist;
    ComPtr<IStream> stream;
    if (FAILED(result = link.get()->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.put()))) ||
        FAILED(result = shell.createStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(result = persist.get()->Save(stream.get(), TRUE)))
        return result;
    ULARGE_INTEGER size = {};
    const LARGE_INTEGER start = {};
    if (FAILED(result = stream.get()->Seek(start, STREAM_SEEK_END, &size)) ||
        FAILED(result = stream.get()->Seek(start, STREAM_SEEK_SET, nullptr)))
        return result;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    ULONG read = 0;
    return stream.get()->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
}

}  // namespace

DWORD CreateDesktopShortcut(const std::wstring& mod, const std::wstring& gameIcon, std::wstring& path) {
    const ShellLibraries& shell = Libraries();
    if (!shell.Loaded()) return ERROR_PROC_NOT_FOUND;
    const ComApartment com;
    wchar_t* desktop = nullptr;
    HRESULT result = shell.shGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &desktop);
    if (SUCCEEDED(result)) path = std::wstring(desktop) + L"\\" + ShortcutName(mod);
    shell.coTaskMemFree(desktop);
    std::string bytes;
    if (SUCCEEDED(result))
        result = ShortcutBytes(shell, mod, modMain::IsExistingFile(gameIcon) ? gameIcon : ThisProgram(), bytes);
    return FAILED(result) ? ErrorOf(result) : ReplaceFileContents(path, bytes);
}
