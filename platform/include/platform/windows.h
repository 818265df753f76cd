// The platform API in one include: base types, kernel, windowing and GDI.
#pragma once

#include <platform/types.h>
#include <platform/kernel.h>
#include <platform/user.h>
#include <platform/gdi.h>
