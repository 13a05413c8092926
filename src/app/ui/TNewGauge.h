// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The gauge window and its display moved to the database windows, which the restore uses too;
// this header is kept for the code that still includes it from here.
#include "db/ui/TNewGauge.h"
#include "db/ui/WidgetUpdateDisplay.h"
