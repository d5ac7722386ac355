#pragma once

class QWidget;

namespace vorlane {

class IniFile;

// Stores a window's edit boxes, check boxes and combo boxes in the settings
// file, each under a section named after the control, walking the controls
// in the order they were created: an edit's "Text", a check box's "Checked",
// a drop-down list's "ItemIndex", an editable combo's items and edit text.
// Controls without a name, and the edit inside a combo box, are not stored.
void SaveFormState(QWidget* form, IniFile& ini);
// Reads them back; what is missing keeps the control's current state. A check
// box whose state changes sends its toggled signal, as a click would.
void LoadFormState(QWidget* form, IniFile& ini);

} // namespace vorlane
