#pragma once
// Resource ids of morvanecorners.exe. The first icon is the program's own in Explorer.
#define IDI_CORNERS_ACTIVE 101
#define IDI_CORNERS_PAUSED 102
