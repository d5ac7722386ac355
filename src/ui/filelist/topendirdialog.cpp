#include "topendirdialog.h"

#include "core/platform/paths.h"

#include <QFileDialog>

namespace vorlane {

namespace {
QString browse(const TOpenDirDialog& d) {
    QFileDialog dialog(d.owner(), d.title());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !(d.options() & TOpenDirDialog::BrowseIncludeFiles));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!d.startFolder().isEmpty()) {
        // The start folder's parent is opened with the start folder selected.
        dialog.setDirectory(folderPart(d.startFolder()));
        dialog.selectFile(d.startFolder());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
} // namespace

bool TOpenDirDialog::Execute() {
    const QString chosen = browser ? browser(*this) : browse(*this);
    if (chosen.isEmpty())
        return false;
    m_result = chosen;
    return true;
}

void TOpenDirDialog::SetStartFolder(const QString& path) {
    m_start = path;
    while (m_start.size() > 1 && isPathDelimiter(m_start.back()))
        m_start.chop(1);
}

} // namespace vorlane
