#pragma once
// The hot-corner zones are the framework's (displays/corner_zones.h): a saver checks the same
// corners at its start. The agent names them as its own.
#include "displays/corner_zones.h"

namespace corners {

enum { CornerCount = morvane::CornerKinds, NoCorner = morvane::NoCorner };

using morvane::CornerAt;
using morvane::CornerZones;
using morvane::ZonesFor;
using morvane::ZoneSide;

}  // namespace corners
