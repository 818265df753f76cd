// Resource identifiers of Zevra.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SURFACE_DIALOG 102
#define IDR_MAINFRAME 128

// System-menu command of the About entry; the low four bits belong to the system.
#define IDM_ABOUTBOX 0x0010
