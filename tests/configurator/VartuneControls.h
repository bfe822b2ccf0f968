#pragma once
// Vartune's controls, for tests that drive the real program from beside the launcher's own
// resource numbers (checked against Vartune's resource header in its own tests).
namespace vartune {
constexpr int kPresetBox = 2002, kResetButton = 2030, kApplyButton = 2031;
constexpr wchar_t kCaption[] = L"Varmoth Configuration Utility";
}  // namespace vartune
