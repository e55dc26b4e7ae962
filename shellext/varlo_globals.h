// Process-wide state of the shell extension library and its class id.
#pragma once

#include <windows.h>

class CShellExt;

// Objects alive in this library: class factories, CShellExt objects and property pages.
// A LONG so that it can be counted with the interlocked functions; the property sheet counts it
// through its UINT reference, which has the same size.
extern LONG g_cRefThisDll;
// The object that most recently received a selection through Initialize; InvokeCommand acts on
// it. Cleared when that object is destroyed, so it never points at freed memory.
extern CShellExt* pShellExt;
// This library's module handle: the icon path and the property page template come from it.
extern HINSTANCE g_hmodThisDll;

// The library's class id, taken from the installer's registration file at build time.
extern const CLSID CLSID_ZembraShellExt;
