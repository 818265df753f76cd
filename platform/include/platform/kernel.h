// Kernel services: run-time module loading, the debugger output channel and
// sleeping.
//
// Modules are shared libraries. A name without a '/' is looked up in the
// folder of the executable, lower-cased, with a trailing ".dll" replaced by
// ".so" and ".so" appended when it has no extension: "ddraw.dll" and
// "DDRAW" both name "<exe dir>/ddraw.so". A name with a '/' is a path and is
// used as it is. Loading the same module again returns the same handle and
// adds a reference; FreeLibrary drops one and unloads at zero.
#pragma once

#include <platform/types.h>

// An entry point as GetProcAddress returns it; cast it to its real type.
// The generic function type keeps that cast free of warnings.
using FARPROC = void (*)();

extern "C" {

// Null when the module is missing, unreadable or not a shared library.
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
// Null when the module has no such entry point or the handle is not a
// loaded module.
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// FALSE when the handle is not a loaded module.
BOOL WINAPI FreeLibrary(HMODULE hLibModule);
// Null gives the executable; a name gives that module if it is loaded.
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);

// Writes the bytes of the text, unchanged, to the debugger channel (standard
// error), in one write.
void WINAPI OutputDebugStringA(LPCSTR lpOutputString);

void WINAPI Sleep(DWORD dwMilliseconds);
}
