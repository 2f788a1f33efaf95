#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_PICTAVO 1
#define IDB_SPLASH 100
