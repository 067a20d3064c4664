#ifndef __wglATI_h_
#define __wglATI_h_ 1
/*
** A small vendor header for trying linkweld, in the layout of wglext.h,
** scanned after wglext.h with a second -wgl flag.
*/

#ifndef WGL_ATI_pixel_format_float
#define WGL_ATI_pixel_format_float 1
#define WGL_TYPE_RGBA_FLOAT_ATI           0x21A0
#endif /* WGL_ATI_pixel_format_float */

#ifndef WGL_AMD_gpu_association
#define WGL_AMD_gpu_association 1
#define WGL_GPU_VENDOR_AMD                0x1F00
typedef UINT (WINAPI * PFNWGLGETGPUIDSAMDPROC) (UINT maxCount, UINT *ids);
typedef HGLRC (WINAPI * PFNWGLCREATEASSOCIATEDCONTEXTAMDPROC) (UINT id);
#ifdef WGL_WGLEXT_PROTOTYPES
extern UINT WINAPI wglGetGPUIDsAMD (UINT maxCount, UINT *ids);
extern HGLRC WINAPI wglCreateAssociatedContextAMD (UINT id);
#endif
#endif /* WGL_AMD_gpu_association */

#endif
