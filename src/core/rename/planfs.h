#pragma once

#include "core/platform/filesystem.h"

#include <QHash>
#include <QVector>

namespace vorlane {

// A file system for a rename run played without touching the disk (the
// command line's dry run): it answers from the disk as changed by the steps
// taken so far, keeps each rename in memory and moves nothing. The run
// itself is the real one, so its order, temporary names and failures are
// those a real run would have, as far as the disk stays as it is.
class PlanningFileSystem : public FileSystem {
public:
    struct Step {
        QString from;
        QString to;
    };

    explicit PlanningFileSystem(FileSystem& disk) : m_disk(disk) {}

    Stat stat(const QString& path) override;
    // A run never deletes; a plan refuses to.
    Status removeFile(const QString& path) override;
    // Fails as the system would: ENOENT for a missing file or target folder,
    // ENAMETOOLONG for a name part over 255 bytes, EEXIST for a taken target.
    Status renameNoReplace(const QString& from, const QString& to) override;
    bool forEachName(const QString& folder, const std::function<void(QByteArrayView name)>& each) override;

    // The renames so far, in the order they were made.
    const QVector<Step>& steps() const { return m_steps; }

private:
    FileSystem& m_disk;
    // Paths the steps changed: the file that now stands there, or none.
    QHash<QString, Stat> m_changed;
    QVector<Step> m_steps;
};

} // namespace vorlane
