#include "rename.h"

#include "core/platform/paths.h"
#include "core/rename/undolog.h"

namespace vorlane {

QString RenameRun::newName(const QString& editorLine) {
    qsizetype end = editorLine.size();
    while (end > 0 && editorLine[end - 1] == u' ')
        --end;
    return editorLine.left(end);
}

RenameRun::Result RenameRun::Rename1Click() {
    Result result;
    int count = 0;
    for (int i = 0; i < m_list.count(); ++i)
        if (m_list.isSelected(i) && !m_list.isSeparator(i))
            ++count;
    if (count == 0) {
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("No items selected"));
        return result;
    }
    const auto answer =
        m_prompts.ask(QStringLiteral("Confirmation"),
                      QStringLiteral("Do you really want to RENAME\rselected file(s) ( %1 )").arg(count),
                      Prompts::Icon::Information, Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return result;

    UndoLog log(m_logPath);
    const QString shownLog = withVisibleControls(m_logPath);
    if (!log.open()) {
        m_prompts.error(QStringLiteral("Vorlane"),
                        QStringLiteral("Can't open the undo log\r") + shownLog + u'\r' + log.errorText());
        return result;
    }
    result.started = true;
    NameLines& editor = m_list.editor();
    // The panes take the run's changes in one go; a message box first shows
    // them as far as the run got.
    m_list.beginUpdate();
    for (int i = 0; i < m_list.count();) {
        if (!m_list.isSelected(i) || m_list.isSeparator(i)) {
            ++i;
            continue;
        }
        // Files here carry no read-only/hidden/system/archive attributes: nothing to reset.
        const QString oldPath = m_list.text(i);
        const QString name = newName(i < editor.count() ? editor.line(i) : QString());
        const QString target = folderPart(oldPath) + name;
        const QString shownRename =
            withVisibleControls(oldPath) + QStringLiteral("\r\tto\r") + withVisibleControls(name);
        QString cause;
        bool logFailed = false;
        // A line break or a NUL would tear the log's lines apart, and a NUL
        // would cut the name the system sees.
        if (hasLineBreakOrNul(oldPath)) {
            cause = QStringLiteral("The path holds a line break or a NUL character");
        } else if (hasLineBreakOrNul(name)) {
            cause = QStringLiteral("The name holds a line break or a NUL character");
        } else if (!log.append(oldPath, name)) {
            logFailed = true;
        } else {
            // Logged first: a run killed after the rename still has its entry.
            const FileSystem::Status renamed = m_fs.renameNoReplace(oldPath, target);
            if (renamed.ok()) {
                m_list.setLineText(i, target);
                m_list.setSelected(i, false);
                editor.setLine(i, QString());
                if (m_list.hooks.setModified)
                    m_list.hooks.setModified(true);
                ++result.renamed;
                ++i;
                continue;
            }
            cause = renamed.text();
            logFailed = !log.removeLastEntry();
        }
        m_list.endUpdate();
        if (logFailed) {
            // Renaming without an entry could not be taken back, and a failed
            // rename whose entry stays would be; the run ends either way.
            m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't write to the undo log\r") +
                                                           shownLog + u'\r' + shownRename + u'\r' +
                                                           log.errorText());
            m_list.beginUpdate();
            break;
        }
        const auto choice = m_prompts.ask(QStringLiteral("Error!"),
                                          QStringLiteral("Can't rename file\r") + shownRename + u'\r' +
                                              cause + QStringLiteral("\rWhat do you want to do?"),
                                          Prompts::Icon::Error, Prompts::Buttons::AbortRetryIgnore);
        m_list.beginUpdate();
        if (choice == Prompts::Answer::Retry)
            continue;
        ++result.failed;
        if (choice == Prompts::Answer::Abort)
            break;
        ++i;
    }
    m_list.endUpdate();
    log.close();
    if (m_list.hooks.lb1Click)
        m_list.hooks.lb1Click();
    return result;
}

} // namespace vorlane
