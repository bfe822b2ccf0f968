// Both programs as users get them: the 64-bit build and, when it was built beside, the 32-bit one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "profile/AnsiText.h"
#include "support/TestSupport.h"

namespace {

// The manifest resource of an executable, read without running it.
std::string ManifestOf(const std::wstring& program) {
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "<not loaded>";
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    std::string text = found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found)) : "<none>";
    FreeLibrary(module);
    return text;
}

struct Build {
    std::wstring folder;
    bool is64Bit;
};

std::vector<Build> Builds() {
    std::vector<Build> builds{{TestProgramFolder(), true}};
    if (const char* x86 = std::getenv("VARMOTH_X86_PROGRAMS"); x86 && *x86) {
        std::wstring folder(x86, x86 + strlen(x86));
        if (folder.starts_with(L"/")) folder = L"Z:" + folder;  // a path of Wine's host
        builds.push_back({folder, false});
    }
    return builds;
}

}  // namespace

TEST(Programs, DeclareVisualStylesSupportedSystemsAndDpiAwarenessAndStartShowAndQuit) {
    struct Program {
        const wchar_t* file;
        const wchar_t* caption;
        const wchar_t* writtenAtStart;
    };
    const Program programs[] = {{L"Varpick.exe", L"Varmoth - Pick MOD", L"Varpick.ini"},
                                {L"Vartune.exe", L"Varmoth Configuration Utility", L"vmtconfig.ini"}};
    const bool x86Runs = std::getenv("VARMOTH_X86_RUNS") && std::string(std::getenv("VARMOTH_X86_RUNS")) == "1";
    for (const Build& build : Builds()) {
        for (const Program& program : programs) {
            const std::wstring path = build.folder + L"\\" + program.file;
            SCOPED_TRACE(testing::Message() << (build.is64Bit ? "x64 " : "x86 ") << ToAnsi(path).value_or("?"));
            DWORD type = 99;
            EXPECT_TRUE(GetBinaryTypeW(path.c_str(), &type) && type == (build.is64Bit ? SCS_64BIT_BINARY : SCS_32BIT_BINARY));
            const std::string manifest = ManifestOf(path);
            for (const char* entry : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                                      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                                      ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>"})
                EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
            EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << "the files stay in the system's code page";
            EXPECT_EQ(manifest.find("requestedExecutionLevel") != std::string::npos, build.is64Bit)
                << "a 32-bit program under Program Files must share the game's VirtualStore";

            if (!build.is64Bit && !x86Runs) {
                std::cout << "Not started: this machine does not run 32-bit programs under Wine.\n";
                continue;
            }
            ScratchFolder folder;
            EXPECT_EQ(StartAndCloseProgram(path, folder.path(), program.caption), 0u);
            EXPECT_TRUE(ReadBytes(folder / program.writtenAtStart).has_value()) << "its first start writes its defaults";
        }
    }
}
