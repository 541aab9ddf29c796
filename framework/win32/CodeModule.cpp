#include "framework/win32/CodeModule.h"

namespace fw {

HINSTANCE codeModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&codeModule), &module);
    return module;
}

}  // namespace fw
