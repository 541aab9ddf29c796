#pragma once

// The host calls every export with the Windows standard calling convention
// (callee removes its arguments). Elsewhere the macro is empty so the same
// sources build and run natively.
#ifdef _WIN32
#define FW_STDCALL __stdcall
#else
#define FW_STDCALL
#endif
