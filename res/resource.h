#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_PICTAVO 1
#define IDB_SPLASH 100
#define IDB_GRIDSTATUS 101
#define IDB_TOOLBAR 102
