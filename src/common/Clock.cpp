// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"

namespace tilvo {

const Clock& ProcessClock()
{
    static const SystemClock clock;
    return clock;
}

} // namespace tilvo
