// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace tilvo {

// Releases a GLib object (libgcab's cabinets, folders and files, GIO's files and streams)
// that the code holds a reference to. Declared without GLib's headers, so that only the files
// that use libgcab include them.
struct GObjectUnref
{
    void operator()(void* object) const;
};

template <class T> using GObjectPointer = std::unique_ptr<T, GObjectUnref>;

} // namespace tilvo
