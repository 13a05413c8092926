// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/GLibPointer.h"

#include <glib-object.h>

namespace tilvo {

void GObjectUnref::operator()(void* object) const
{
    if (object)
        g_object_unref(object);
}

} // namespace tilvo
