#include "options.h"

namespace vorlane {

int Options::alarmColumn() const {
    bool ok = false;
    const int v = Alleveled.trimmed().toInt(&ok);
    return ok ? v : 127;
}

const QList<OptionInfo>& optionTable() {
    using S = QString;
    static const QList<OptionInfo> table = {
        {"masked", S("File Mask"), true, S("*.*"),
         S("Default file mask when you choose 'Open Folders...' or \r\n'Open Folder with subfolders...' from "
           "the left window\r\nMay contain several masks e.g. *.mp3;*.wav"),
         &Options::masked},
        {"Topmcb", S("Stay on top"), false, S("0"), S("Make main application window topmost"), nullptr,
         &Options::Topmcb},
        {"Dsfcb", S("Don't show folders on left"), false, S("1"),
         S("If checked, the left window will not contain\r\npaths - only filenames and extensions"), nullptr,
         &Options::Dsfcb},
        {"Iccb", S("Ignore case when sorting"), false, S("1"),
         S("If checked, the case of char will be ignored,\r\nwhen sorting the left window contents"), nullptr,
         &Options::Iccb},
        {"cbDontCountmp3", S("Don't count MP3/WAV-files time"), false, S("1"),
         S("Application will automatically count playing time for \r\nmp3/wav-files, when you adding them to "
           "the left window"),
         nullptr, &Options::cbDontCountmp3, SpeedRole::Part},
        {"cbDontRenum", S("Don't renum after change"), false, S("0"),
         S("Every line in left window, except separator, has a unique number.\r\nApplication can renumber "
           "all lines after each change (deleting, moving, etc)"),
         nullptr, &Options::cbDontRenum, SpeedRole::Part},
        {"Alleveled", S("Alarm string length"), true, S("127"),
         S("The level in right window, which shows \r\nchar limit. It looks like gray vertical line."),
         &Options::Alleveled},
        {"Ssorcb", S("Show Horz. Scroll on Right"), false, S("0"),
         S("Horizontal scroll bar will appear on right side"), nullptr, &Options::Ssorcb},
        {"cbDontAskToSave", S("Don't Ask about file saving"), false, S("0"),
         S("If checked the application will not ask user about saving changed content \r\nwhen user choose "
           "new, open, merge file or close the application"),
         nullptr, &Options::cbDontAskToSave},
        {"cbMaxSpeed", S("Maximize speed"), false, S("0"), S(), nullptr, &Options::cbMaxSpeed,
         SpeedRole::Switch},
        {"cbDontLookDups", S("Don't check for duplicates"), false, S("0"),
         S("Do not look for the same files in list when adding a new file to it"), nullptr,
         &Options::cbDontLookDups, SpeedRole::Part},
        {"cbDontUseSeps", S("Don't use separators"), false, S("0"),
         S("Separators are used to separate group of files. \r\nIf checked separators will not be used when "
           "adding folders or group of files."),
         nullptr, &Options::cbDontUseSeps},
        {"cbResolveChains", S("Resolve chains and swaps"), false, S("0"),
         S("Rename orders the selected renames so that a name is freed before it is taken,\r\nand "
           "swaps names through a temporary name in the same folder"),
         nullptr, &Options::cbResolveChains},
        {"cbCounterPerFolder", S("Counters restart at each folder"), false, S("0"),
         S("Convert numbers the selected files of each folder (each separator's group)\r\nfrom the start: "
           "[c] counts and [cc] gives the total within the folder"),
         nullptr, &Options::cbCounterPerFolder},
        {"cbAllTags", S("Read tags of every kind"), false, S("0"),
         S("[ma], [mc], [mr], [mt], [my] read ID3v2 tags of MP3 files (ID3v1 where v2 has none)\r\nand the "
           "tags of FLAC, Ogg, Opus, M4A, WMA, APE, WavPack, AIFF and WAV files;\r\nthe playing time "
           "of those formats is counted too"),
         nullptr, &Options::cbAllTags},
        {"cbExtendedElements", S("Extended mask elements"), false, S("0"),
         S("Masks may use [mn] (track number, e.g. 07) and [mg] (genre)"), nullptr,
         &Options::cbExtendedElements},
    };
    return table;
}

QStringList SnapshotOptions(const Options& options) {
    QStringList out;
    for (const OptionInfo& info : optionTable())
        out << (info.isText ? options.*info.text : QString(options.*info.flag ? u'1' : u'0'));
    return out;
}

void RestoreOptions(Options& options, const QStringList& snapshot) {
    const QList<OptionInfo>& table = optionTable();
    for (qsizetype i = 0; i < table.size() && i < snapshot.size(); ++i) {
        if (table[i].isText)
            options.*table[i].text = snapshot[i];
        else
            options.*table[i].flag = snapshot[i] == QLatin1String("1");
    }
}

void setMaxSpeed(Options& options, bool on) {
    options.cbMaxSpeed = on;
    for (const OptionInfo& info : optionTable())
        if (info.speed == SpeedRole::Part)
            options.*info.flag = on;
}

void updateMaxSpeed(Options& options) {
    bool all = true;
    for (const OptionInfo& info : optionTable())
        if (info.speed == SpeedRole::Part)
            all = all && options.*info.flag;
    options.cbMaxSpeed = all;
}

} // namespace vorlane
