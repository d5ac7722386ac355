#include "topendirdialog.h"

#include "core/platform/paths.h"
#include "ui/filelist/filechooser.h"

namespace vorlane {

namespace {
QString browse(const TOpenDirDialog& d) {
    FileChooser dialog(FileChooser::Folder, d.title(), d.owner());
    // The start folder's parent is opened with the start folder selected.
    const QString start = d.startFolder();
    if (start.isEmpty())
        dialog.setFolder(QString());
    else
        dialog.setFolder(folderPart(start), fileNamePart(start));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedPaths().isEmpty())
        return QString();
    return dialog.selectedPaths().first();
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
