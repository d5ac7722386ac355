#pragma once

#include <QString>
#include <QStringList>

namespace vorlane {

// Where the copy and the compare put each selected file: a selected separator
// names the folder for the files after it (a sub-folder of the destination,
// or a folder of its own when its name is an absolute path), and each file
// goes there under its name line.
class DestinationLayout {
public:
    explicit DestinationLayout(const QString& destination = QString()) { reset(destination); }

    // The start of a run: no group yet, automatic names from "1" on.
    void reset(const QString& destination);
    // A selected separator whose name line is `nameLine`.
    void separator(const QString& nameLine);
    // The target path of a selected file whose name line is `nameLine`. When
    // the file opens a new group, the folders that group needs, outermost
    // first, are appended to `create` (the caller makes them; existing ones
    // are fine).
    QString target(const QString& nameLine, QStringList& create);

    // Whether a group's name is a folder of its own rather than one under the destination.
    static bool isAbsoluteGroup(const QString& group);

private:
    QString m_destination;
    QString m_group; // a separator's name, then the folder made of it
    bool m_pending = false;
    QChar m_autoName = u'0';
};

} // namespace vorlane
