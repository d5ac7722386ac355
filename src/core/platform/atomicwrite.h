#pragma once

#include "core/platform/filesystem.h"

#include <QByteArray>
#include <QString>

namespace vorlane {

// Replaces the file at `path` by `data`: the bytes go to a temporary file in
// the same folder, are flushed to the disk, and the temporary file is then
// renamed over the old one, so a failure at any step leaves the old file
// whole. A symbolic link is followed and its target replaced; the old file's
// permissions are kept.
FileSystem::Status writeFileAtomically(const QString& path, const QByteArray& data);

// Whether writeFileAtomically could replace `path` now: its folder takes a new
// file, and an existing file is not write-protected.
FileSystem::Status checkReplaceable(const QString& path);

} // namespace vorlane
