#include "support/diskfixture.h"
#include "support/qtprint.h"
#include "ui/filelist/filechooser.h"
#include "ui/filelist/topendirdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace vorlane;

namespace {

QStringList shownNames(const FileChooser& chooser) {
    QStringList names;
    for (int i = 0; i < chooser.entryList()->count(); ++i)
        names << chooser.entryList()->item(i)->text();
    return names;
}

QListWidgetItem* itemNamed(const FileChooser& chooser, const QString& text) {
    const auto found = chooser.entryList()->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void click(const FileChooser& chooser, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
    QListWidgetItem* item = itemNamed(chooser, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    QListWidget* list = chooser.entryList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(item).center());
}

void doubleClick(const FileChooser& chooser, const QString& text) {
    QListWidgetItem* item = itemNamed(chooser, text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    QListWidget* list = chooser.entryList();
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); // the first click of the two
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(FileChooserTest, FilesModeListsFoldersFirstInNaturalOrderAndNavigates) {
    Disk disk;
    for (const char* n : {"Track 10.mp3", "track 9.MP3", "b.txt"})
        disk.file(QString("c/") + n);
    disk.rawFile("c/new\nline.mp3");
    disk.file("c/sub 10/x.mp3");
    disk.folder("c/sub 9");
    ASSERT_EQ(::symlink("sub 9", QFile::encodeName(disk.path("c/link")).constData()), 0);

    FileChooser chooser(FileChooser::Files, "Add");
    chooser.setNameFilters({"MP3 Files (*.mp3)", "All Files (*.*)"});
    chooser.setFolder(disk.path("c"));
    chooser.show();
    const QString newLine = QString::fromUtf8("new\uFFFDline.mp3");
    EXPECT_EQ(shownNames(chooser),
              QStringList({"..", "link", "sub 9", "sub 10", newLine, "track 9.MP3", "Track 10.mp3"}));
    chooser.filterBox()->setCurrentIndex(1);
    EXPECT_EQ(shownNames(chooser), QStringList({"..", "link", "sub 9", "sub 10", "b.txt", newLine,
                                                "track 9.MP3", "Track 10.mp3"}));

    // Double clicks enter a folder and leave it, the folder left selected.
    doubleClick(chooser, "sub 10");
    EXPECT_EQ(chooser.pathEdit()->text(), disk.path("c/sub 10"));
    EXPECT_EQ(shownNames(chooser), QStringList({"..", "x.mp3"}));
    doubleClick(chooser, "..");
    EXPECT_EQ(chooser.pathEdit()->text(), disk.path("c"));
    ASSERT_NE(chooser.entryList()->currentItem(), nullptr);
    EXPECT_EQ(chooser.entryList()->currentItem()->text(), "sub 10");

    click(chooser, "Track 10.mp3");
    click(chooser, "b.txt", Qt::ControlModifier);
    chooser.okButton()->click();
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(chooser.selectedPaths(), QStringList({disk.path("c/b.txt"), disk.path("c/Track 10.mp3")}));
}

TEST(FileChooserTest, FolderBrowserOpensBesideTheStartFolderAndKeepsItsBytes) {
    Disk disk;
    const QByteArray odd = QFile::encodeName(disk.root()) + "/d\xFF";
    ASSERT_EQ(::mkdir(odd.constData(), 0755), 0);
    disk.file("a.mp3");
    TOpenDirDialog dialog("Choose folder to get file from");
    dialog.SetStartFolder(decodeName(odd) + "/");
    QString title;
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<FileChooser*>(QApplication::activeModalWidget());
        if (!chooser) {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
            return;
        }
        title = chooser->windowTitle();
        shown = shownNames(*chooser);
        chooser->okButton()->click(); // the start folder is selected
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(title, "Choose folder to get file from");
    EXPECT_EQ(shown, QStringList({"..", QString::fromUtf8("d\uFFFD")})); // folders only
    EXPECT_EQ(encodeName(dialog.Directory()), odd);
}

TEST(FileChooserTest, OpenFileModeChoosesOneFileAndAllFilesMeansEveryFile) {
    Disk disk;
    for (const char* n : {"a.vln", "b.txt", "noext"})
        disk.file(n);
    FileChooser chooser(FileChooser::OpenFile, "Open");
    chooser.setNameFilters({"Project Files (*.vln)", "All Files (*.*)"});
    chooser.setFolder(disk.root());
    chooser.show();
    EXPECT_EQ(shownNames(chooser), QStringList({"..", "a.vln"}));
    chooser.filterBox()->setCurrentIndex(1);
    EXPECT_EQ(shownNames(chooser), QStringList({"..", "a.vln", "b.txt", "noext"}));
    click(chooser, "a.vln");
    click(chooser, "noext", Qt::ControlModifier);
    chooser.okButton()->click();
    EXPECT_EQ(chooser.selectedPaths(), QStringList({disk.path("noext")}));
}
