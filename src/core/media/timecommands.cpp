#include "timecommands.h"

#include "core/media/playtime.h"
#include "core/platform/paths.h"

namespace vorlane {

namespace {

void setModified(FileList& list) {
    if (list.hooks.setModified)
        list.hooks.setModified(true);
}

// Advances the group counter by one item and lets the window breathe;
// false once the user has cancelled.
bool itemDone(GroupOperation& group) {
    group.countItem();
    return group.PrintGroup();
}

} // namespace

int ReCountmp3filestime1Click(FileList& list, GroupOperation& group, Prompts& prompts) {
    auto counts = [&list](int i) {
        return list.isSelected(i) && !list.isSeparator(i) &&
               timeKindOf(list.text(i), list.options().cbAllTags) != TimeKind::None;
    };
    int total = 0;
    for (int i = 0; i < list.count(); ++i)
        total += counts(i) ? 1 : 0;
    group.PrepareGroup(QStringLiteral("Counting time"), total);
    int counted = 0;
    list.beginUpdate();
    for (int i = 0; i < list.count(); ++i) {
        if (!counts(i))
            continue;
        const qint32 seconds = CountPlayTime(list.text(i), prompts, list.options().cbAllTags);
        list.setPlayTime(i, seconds);
        if (seconds > 0)
            list.setSelected(i, false);
        ++counted;
        setModified(list);
        if (!itemDone(group))
            break;
    }
    list.endUpdate();
    group.EndGroup(QStringLiteral("were recounted"));
    return counted;
}

int Checkfilesexist1Click(FileList& list, GroupOperation& group, Prompts& prompts) {
    int total = 0;
    for (int i = 0; i < list.count(); ++i)
        total += list.isSelected(i) && !list.isSeparator(i) ? 1 : 0;
    group.PrepareGroup(QStringLiteral("Checking files"), total);
    int missing = 0;
    bool cancelled = false;
    list.beginUpdate();
    for (int i = 0; i < list.count() && !cancelled; ++i) {
        if (!list.isSelected(i) || list.isSeparator(i))
            continue;
        const FileSystem::Stat st = list.fileSystem().stat(list.text(i));
        if (st.exists && !st.isDir) {
            list.setSelected(i, false);
        } else {
            ++missing;
            prompts.error(QStringLiteral("Error!"),
                          QStringLiteral("File access error\r") + withVisibleControls(list.text(i)));
        }
        cancelled = !itemDone(group);
    }
    list.endUpdate();
    group.EndGroup(QStringLiteral("were checked"));
    if (missing == 0 && !cancelled)
        prompts.ask(QStringLiteral("Information"), QStringLiteral("All selected files are exist"),
                    Prompts::Icon::Information, Prompts::Buttons::Ok);
    return missing;
}

} // namespace vorlane
