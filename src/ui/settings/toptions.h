#pragma once

#include "core/settings/options.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vorlane {

class IniFile;

// The options dialog: one control per switch of the option table, in the
// table's order (the Ok button after the first, Cancel last). Each control
// edits the Options object as it changes; Options1Click takes a snapshot
// before and puts it back on Cancel. Its controls are loaded from the
// settings file when it is created and stored when it is destroyed.
class TOptions : public QDialog {
    Q_OBJECT
public:
    TOptions(Options& options, IniFile* settings, QWidget* parent = nullptr);
    ~TOptions() override;

    // The control of a switch by its name (a QCheckBox or a QLineEdit).
    QCheckBox* check(const QString& name) const;
    QLineEdit* edit(const QString& name) const;
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The controls show the Options object's values (no coupling runs).
    void showValues();

    void cbMaxSpeedClick();
    void cbDontCountmp3Click();
    void bCancelClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FormCreate();
    void FormDestroy();

    Options& m_options;
    IniFile* m_settings;
    QHash<QString, QWidget*> m_controls;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    // Above 0 while a coupling handler runs: the others then do nothing.
    int m_coupling = 0;
};

} // namespace vorlane
