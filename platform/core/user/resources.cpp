// Finding a module's resource table, and its strings.
#include <platform/kernel.h>

#include "window_table.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

const rsrc::ResourceTable* zv::user::ResourcesOf(HINSTANCE module) {
    if (module == nullptr || module == GetModuleHandleA(nullptr)) {
        // Looked up directly rather than through GetProcAddress, so that a
        // loader log only ever shows what the program itself asked for.
        static void* const executable = dlopen(nullptr, RTLD_NOW);
        return static_cast<const rsrc::ResourceTable*>(dlsym(executable, rsrc::kTableSymbol));
    }
    return reinterpret_cast<const rsrc::ResourceTable*>(GetProcAddress(module, rsrc::kTableSymbol));
}

extern "C" int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    const rsrc::ResourceTable* table = zv::user::ResourcesOf(hInstance);
    const char* text = table != nullptr ? rsrc::FindString(*table, uID) : nullptr;
    if (text == nullptr || lpBuffer == nullptr || cchBufferMax <= 0) {
        if (lpBuffer != nullptr && cchBufferMax > 0)
            *lpBuffer = '\0';
        return 0;
    }
    size_t length = std::min(std::strlen(text), static_cast<size_t>(cchBufferMax - 1));
    std::memcpy(lpBuffer, text, length);
    lpBuffer[length] = '\0';
    return static_cast<int>(length);
}
