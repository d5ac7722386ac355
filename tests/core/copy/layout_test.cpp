#include "core/copy/layout.h"

#include "support/qtprint.h"

#include <gtest/gtest.h>

using namespace vorlane;

TEST(DestinationLayout, PlacesFilesBySelectedSeparators) {
    struct Case {
        QString destination;
        QStringList lines; // "#name": a separator with that name line; else a file's name line
        QStringList targets;
        QStringList created;
    };
    QList<Case> cases = {
        {"/out",
         {"#Rock", "01.mp3", "#", "02.mp3"},
         {"/out/Rock/01.mp3", "/out/1/02.mp3"},
         {"/out/Rock/", "/out/1/"}},
        // Files before any separator go to "0"; one group serves the files after it.
        {"/out/",
         {"a", "b", "#Rock", "c", "d"},
         {"/out/0/a", "/out/0/b", "/out/Rock/c", "/out/Rock/d"},
         {"/out/0/", "/out/Rock/"}},
        // Of separators in a row, the first names the group; an automatic name is used up only when taken.
        {"/out", {"#X", "#", "a", "#", "#Y", "b"}, {"/out/X/a", "/out/1/b"}, {"/out/X/", "/out/1/"}},
        // Sub-folders in a name, trailing blanks of file names dropped.
        {"/out", {"#CD 1/Disc/", "a  "}, {"/out/CD 1/Disc/a"}, {"/out/CD 1/", "/out/CD 1/Disc/"}},
        // An absolute path is a folder of its own.
        {"/out", {"#/media/usb", "a"}, {"/media/usb/a"}, {"/", "/media/", "/media/usb/"}},
        // An empty name line targets the folder itself.
        {"/out", {""}, {"/out/0/"}, {"/out/0/"}},
    };
    // Automatic names run 1..9, A..Z, 0, and round again.
    Case automatic{"/d", {}, {}, {}};
    for (const QChar c : QStringLiteral("123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ01")) {
        automatic.lines << "#"
                        << "f";
        automatic.targets << QStringLiteral("/d/%1/f").arg(c);
        automatic.created << QStringLiteral("/d/%1/").arg(c);
    }
    cases << automatic;

    for (const Case& c : cases) {
        DestinationLayout layout(c.destination);
        QStringList targets, created;
        for (const QString& line : c.lines) {
            if (line.startsWith(u'#'))
                layout.separator(line.mid(1));
            else
                targets << layout.target(line, created);
        }
        EXPECT_EQ(targets, c.targets) << c.lines.join(u'|').toStdString();
        EXPECT_EQ(created, c.created) << c.lines.join(u'|').toStdString();
    }
}
