#pragma once

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// True for a Windows build running under Wine, whose Media Foundation decodes nothing: playback
// is checked on Windows itself and on Linux, and said to be skipped here.
inline bool underWine() {
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

#define SKIP_PLAYBACK_UNDER_WINE()                                                                 \
    if (underWine())                                                                               \
    QSKIP("Wine's Media Foundation plays nothing: playback is checked on Windows and Linux")
