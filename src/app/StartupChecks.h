// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace tilvo {

class Prompts;

// Writes a probe file holding "admin"; when that fails, tells the person which folder must
// be writable and returns false. The probe is removed in every case.
bool CheckWriteAccess(const QString& caption, const QString& probePath, Prompts& prompts);

// Whether the database library is recent enough: its version text, cut to 4 characters,
// must read as a number of at least 2.5.
bool DataAccessComponentsPresent(const QString& versionText);

// Held for the whole run so that a second start can tell that one is already running.
// A lock left by a process that was killed is taken over.
class SingleInstanceGuard
{
public:
    SingleInstanceGuard(const QString& folder, const QString& name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // False when another running process holds it.
    bool acquired() const { return m_acquired; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};

} // namespace tilvo
