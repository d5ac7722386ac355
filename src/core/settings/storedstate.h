#pragma once

#include "core/settings/inifile.h"

#include <QString>
#include <QStringList>

namespace vorlane {

// The key of item `index` of an editable combo box: "A".."Z" for the first 26
// items, then "Z1", "Z2", ... (single characters after "Z" would be "[" and
// others that the INI form cannot hold). The key after the last item holds
// the combo's edit text.
QString comboItemKey(int index);

// An editable combo box as it is stored: its list and its edit text.
struct ComboState {
    QStringList items;
    QString text;
    bool operator==(const ComboState&) const = default;
};

// Erases the section, then writes the items and the edit text after them.
void saveComboState(IniFile& ini, const QString& section, const ComboState& state);
// Reads the section's keys in file order: all but the last are the items,
// the last is the edit text (`currentText` when its value is missing). A
// missing or empty section gives no items and leaves the text.
ComboState loadComboState(IniFile& ini, const QString& section, const QString& currentText);

// The main window's bounds and the width of its file list, in section "Main".
struct MainGeometry {
    int left = 246;
    int top = 187;
    int width = 758;
    int height = 452;
    int lbWidth = 0;
};
// Reads Width, Height, Top, Left and LBWidth, each defaulting to `current`'s.
MainGeometry readMainGeometry(IniFile& ini, const MainGeometry& current);
// Writes Left, Top, Width, Height and LBWidth.
void writeMainGeometry(IniFile& ini, const MainGeometry& g);

} // namespace vorlane
