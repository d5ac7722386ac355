#include "formstate.h"

#include "core/settings/storedstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace vorlane {

namespace {

// The stored controls, in creation order (children come in the order they
// were given their parent, each followed by its own).
QList<QWidget*> storedControls(QWidget* form) {
    QList<QWidget*> out;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QComboBox*>(w))
            out << w;
    }
    return out;
}

const QString kText = QStringLiteral("Text");
const QString kChecked = QStringLiteral("Checked");
const QString kItemIndex = QStringLiteral("ItemIndex");

} // namespace

void SaveFormState(QWidget* form, IniFile& ini) {
    const IniFile::Batch batch(ini);
    for (QWidget* w : storedControls(form)) {
        const QString section = w->objectName();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            ini.writeString(section, kText, edit->text());
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            ini.writeBool(section, kChecked, check->isChecked());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (!combo->isEditable()) {
                ini.eraseSection(section);
                ini.writeInteger(section, kItemIndex, combo->currentIndex());
                continue;
            }
            ComboState state;
            for (int i = 0; i < combo->count(); ++i)
                state.items << combo->itemText(i);
            state.text = combo->currentText();
            saveComboState(ini, section, state);
        }
    }
}

void LoadFormState(QWidget* form, IniFile& ini) {
    for (QWidget* w : storedControls(form)) {
        const QString section = w->objectName();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(ini.readString(section, kText, edit->text()));
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            check->setChecked(ini.readBool(section, kChecked, check->isChecked()));
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (!combo->isEditable()) {
                const int index = ini.readInteger(section, kItemIndex, 0);
                combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : 0);
                continue;
            }
            const ComboState state = loadComboState(ini, section, combo->currentText());
            combo->clear();
            combo->addItems(state.items);
            combo->setCurrentIndex(-1);
            combo->setEditText(state.text);
        }
    }
}

} // namespace vorlane
