#pragma once

// The system headers of this backend, in one place and one order.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
// Order matters below: each builds on <windows.h>.
#include <commctrl.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <dinput.h>
