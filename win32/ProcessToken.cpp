#include "ProcessToken.h"

#include "UniqueHandle.h"

namespace {

// A DWORD entry of the token (TokenElevationType, TokenVirtualizationEnabled); 0 where the
// system does not know it (Windows before Vista).
DWORD TokenEntry(TOKEN_INFORMATION_CLASS entry) {
    UniqueKernelHandle token;
    DWORD value = 0, size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
        !GetTokenInformation(token.get(), entry, &value, sizeof value, &size))
        return 0;
    return value;
}

}  // namespace

// Full: the elevated half of a split token. With User Account Control off, or for the built-in
// Administrator (Default), every program of the user runs with the same rights.
bool RunsElevated() { return TokenEntry(TokenElevationType) == TokenElevationTypeFull; }

bool RunsVirtualized() { return TokenEntry(TokenVirtualizationEnabled) != 0; }
