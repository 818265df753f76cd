// The resources of the platform's own test programs.
#pragma once

// A resizable main window like the program's: no controls.
#define IDD_PROBE_MAIN 200
// A modal box like the program's About box, with a Japanese text line.
#define IDD_PROBE_BOX 201
// A box placed by its template, not centred.
#define IDD_PROBE_PLACED 202
#define IDS_PROBE_ABOUT 210
#define IDS_PROBE_EMPTY 211
#define IDI_PROBE 300

#define IDM_PROBE_ABOUT 0x0010

// Where the placed box's template puts it, in dialog units.
#define PROBE_PLACED_X 20
#define PROBE_PLACED_Y 30
