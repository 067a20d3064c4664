// A stand-in for <windows.h> off Windows, for the whole pair and for a pair whose program names a
// WGL name, as a source shared with the Windows build does under #ifdef _WIN32: the types of the
// WGL declarations the pair's header then holds, and the WGL functions it takes from Windows,
// declared only (the checked unit calls none of them off Windows). linkweld_add_loader puts this
// directory on the include path off Windows; by hand, give it with -I. Nothing here exists at run
// time: the flags of WGL names stay unset.
#ifndef LINKWELD_WINDOWS_STANDIN_H
#define LINKWELD_WINDOWS_STANDIN_H

#include <stdint.h>

#ifndef WINAPI
#define WINAPI
#endif

typedef int BOOL;
typedef char CHAR;
typedef int INT;
typedef int32_t INT32;
typedef int64_t INT64;
typedef unsigned int UINT;
typedef unsigned short USHORT;
typedef uint32_t DWORD;
typedef float FLOAT;
typedef void VOID;
typedef void* LPVOID;
typedef void* HANDLE;
typedef struct {
    long left, top, right, bottom;
} RECT;
#define DECLARE_HANDLE(name) typedef struct name##__* name

// What the pair's header would otherwise declare itself, where <wingdi.h> is missing.
#define _WINGDI_
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HGLRC);
typedef intptr_t(WINAPI* PROC)(void);
#ifdef __cplusplus
extern "C" {
#endif
PROC WINAPI wglGetProcAddress(const char* name);
HDC WINAPI wglGetCurrentDC(void);
HGLRC WINAPI wglGetCurrentContext(void);
#ifdef __cplusplus
}
#endif

#endif
