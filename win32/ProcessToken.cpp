#include "ProcessToken.h"

#include "UniqueHandle.h"

bool RunsVirtualized() {
    // 0 where the system does not know the entry (Windows before Vista).
    UniqueKernelHandle token;
    DWORD enabled = 0, size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
        !GetTokenInformation(token.get(), TokenVirtualizationEnabled, &enabled, sizeof enabled, &size))
        return false;
    return enabled != 0;
}
