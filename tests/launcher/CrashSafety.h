#pragma once
// A child process that saves the catalogue over and over, alternating between two large
// catalogues, until it is killed.
inline constexpr char kSaveLoopSwitch[] = "--save-loop";
int RunSaveLoop(const char* folder);
