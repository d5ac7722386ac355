#include "project.h"

#include "core/platform/paths.h"
#include "core/project/projectfile.h"

#include <sys/stat.h>

namespace vorlane {

namespace {
// Failures reading or writing our own files go to the program's general error box.
const QString kErrorTitle = QStringLiteral("Vorlane");

bool isExistingFile(const QString& path) {
    struct ::stat st {};
    return !path.isEmpty() && ::stat(encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}
} // namespace

ProgramArguments splitArguments(const QStringList& paths,
                                const std::function<bool(const QString&)>& isFolder) {
    ProgramArguments a;
    for (const QString& p : paths) {
        if (a.project.isEmpty() && p.endsWith(QLatin1String(".vln"), Qt::CaseInsensitive) && !isFolder(p))
            a.project = p;
        else
            a.others << p;
    }
    return a;
}

QString projectCaption(const QString& path, bool modified, const QString& base) {
    const QString name = visibleName(fileNamePart(path));
    if (name.isEmpty())
        return base;
    return u'{' + name + (modified ? u'*' : u' ') + u'}' + base;
}

Project::Project(FileList& list, Options& options, Prompts& prompts)
    : m_list(list), m_options(options), m_prompts(prompts) {}

bool Project::modified() const {
    return hooks.isModified && hooks.isModified();
}

void Project::setModified(bool flag) {
    if (hooks.setModified)
        hooks.setModified(flag);
}

void Project::setCaption(const QString& path) {
    if (hooks.setProjectCaption)
        hooks.setProjectCaption(path);
}

void Project::setStatus(const QString& text) {
    if (hooks.setStatus)
        hooks.setStatus(text);
}

bool Project::NewFile() {
    if (m_list.count() > 0 && modified() && !m_options.cbDontAskToSave) {
        const auto answer = m_prompts.ask(QStringLiteral("Confirm"),
                                          QStringLiteral("Contents was changed...\rDo you want to save it?"),
                                          Prompts::Icon::Question, Prompts::Buttons::YesNoCancel);
        if (answer == Prompts::Answer::Cancel)
            return false;
        if (answer == Prompts::Answer::Yes && !SaveFile(true))
            return false;
    }
    // The editor first: emptying the list then has no editor lines left to remove.
    if (hooks.clearEditor)
        hooks.clearEditor();
    else
        m_list.editor().clear();
    m_list.clear();
    m_list.RenumberItems();
    // A new project has no file: Save asks where to write it.
    m_fileName.clear();
    setCaption(QString());
    setModified(false);
    if (m_list.hooks.lb1Click)
        m_list.hooks.lb1Click();
    return true;
}

bool Project::MergeFile(bool merge) {
    return load(merge, hooks.chooseOpen ? hooks.chooseOpen() : QString());
}

bool Project::load(bool merge, const QString& path) {
    if (path.isEmpty())
        return false;
    if (!merge && !NewFile())
        return false;
    m_chosen = path;
    setStatus(QStringLiteral("Loading..."));
    QString error;
    if (!loadProject(path, m_list, &error)) {
        m_prompts.error(kErrorTitle, QStringLiteral("Can't read project file\r") + path + u'\r' + error);
        return false;
    }
    setStatus(QStringLiteral("Loading - Ok"));
    return true;
}

bool Project::Open1Click() {
    return MergeFile(false) && opened();
}

bool Project::OpenFile(const QString& path) {
    return load(false, path) && opened();
}

bool Project::opened() {
    m_fileName = m_chosen;
    setCaption(m_fileName);
    setModified(false);
    return true;
}

void Project::Merge1Click() {
    if (MergeFile(true))
        setModified(true);
}

bool Project::SaveFile(bool useCurrentName) {
    if (m_list.editor().count() > m_list.count())
        m_prompts.ask(QStringLiteral("Warning"),
                      QStringLiteral("Editor at right side has more lines than list at left side.\r"
                                     "Additional lines will not be saved"),
                      Prompts::Icon::Warning, Prompts::Buttons::Ok);
    QString path = m_fileName;
    if (!useCurrentName || !isExistingFile(path)) {
        path = hooks.chooseSave ? hooks.chooseSave(m_fileName) : QString();
        if (path.isEmpty())
            return false;
    }
    QString error;
    if (!saveProject(path, m_list, &error)) {
        m_prompts.error(kErrorTitle, QStringLiteral("Can't save project file\r") + path + u'\r' + error);
        return false;
    }
    if (hooks.showSaved)
        hooks.showSaved();
    m_fileName = path;
    setCaption(path);
    setModified(false);
    return true;
}

} // namespace vorlane
