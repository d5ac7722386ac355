#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace vorlane {

// The folder chooser: a title, the folder shown first, and the chosen folder.
class TOpenDirDialog {
public:
    // Switches of the folder browser, in their traditional order; only file
    // system folders can be chosen by default.
    enum Option : unsigned {
        BrowseForComputer = 1 << 0,
        BrowseForPrinter = 1 << 1,
        DontGoBelowDomain = 1 << 2,
        ReturnFsAncestors = 1 << 3,
        ReturnOnlyFsDirs = 1 << 4,
        StatusText = 1 << 5,
        BrowseIncludeFiles = 1 << 6,
        EditBox = 1 << 7,
        NewDialogStyle = 1 << 8,
    };

    explicit TOpenDirDialog(QString title, unsigned options = ReturnOnlyFsDirs)
        : m_title(std::move(title)), m_options(options) {}

    bool Execute();
    QString Directory() const { return m_result; }
    void SetStartFolder(const QString& path);
    QString startFolder() const { return m_start; }
    QString title() const { return m_title; }
    unsigned options() const { return m_options; }
    void setOwner(QWidget* owner) { m_owner = owner; }
    QWidget* owner() const { return m_owner; }

    // The platform's folder browser: the chosen folder, or empty when cancelled.
    std::function<QString(const TOpenDirDialog&)> browser;

private:
    QString m_title;
    unsigned m_options;
    QWidget* m_owner = nullptr;
    QString m_start;
    QString m_result;
};

} // namespace vorlane
