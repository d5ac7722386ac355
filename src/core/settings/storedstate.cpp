#include "storedstate.h"

namespace vorlane {

QString comboItemKey(int index) {
    if (index < 26)
        return QString(QChar(u'A' + index));
    return u'Z' + QString::number(index - 25);
}

void saveComboState(IniFile& ini, const QString& section, const ComboState& state) {
    const IniFile::Batch batch(ini);
    ini.eraseSection(section);
    for (int i = 0; i < state.items.size(); ++i)
        ini.writeString(section, comboItemKey(i), state.items[i]);
    ini.writeString(section, comboItemKey(int(state.items.size())), state.text);
}

ComboState loadComboState(IniFile& ini, const QString& section, const QString& currentText) {
    ComboState s;
    s.text = currentText;
    const QStringList keys = ini.readSection(section);
    for (int i = 0; i + 1 < keys.size(); ++i)
        s.items << ini.readString(section, keys[i], QString());
    if (!keys.isEmpty())
        s.text = ini.readString(section, keys.last(), currentText);
    return s;
}

namespace {
const QString kMain = QStringLiteral("Main");
}

MainGeometry readMainGeometry(IniFile& ini, const MainGeometry& current) {
    MainGeometry g;
    g.width = ini.readInteger(kMain, QStringLiteral("Width"), current.width);
    g.height = ini.readInteger(kMain, QStringLiteral("Height"), current.height);
    g.top = ini.readInteger(kMain, QStringLiteral("Top"), current.top);
    g.left = ini.readInteger(kMain, QStringLiteral("Left"), current.left);
    g.lbWidth = ini.readInteger(kMain, QStringLiteral("LBWidth"), current.lbWidth);
    return g;
}

void writeMainGeometry(IniFile& ini, const MainGeometry& g) {
    const IniFile::Batch batch(ini);
    ini.writeInteger(kMain, QStringLiteral("Left"), g.left);
    ini.writeInteger(kMain, QStringLiteral("Top"), g.top);
    ini.writeInteger(kMain, QStringLiteral("Width"), g.width);
    ini.writeInteger(kMain, QStringLiteral("Height"), g.height);
    ini.writeInteger(kMain, QStringLiteral("LBWidth"), g.lbWidth);
}

} // namespace vorlane
