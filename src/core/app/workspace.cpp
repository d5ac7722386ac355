#include "workspace.h"

#include "core/media/playtime.h"

namespace vorlane {

namespace {
template <class T, class Own> T& orOwn(T* given, std::unique_ptr<T>& own) {
    if (given)
        return *given;
    own = std::make_unique<Own>();
    return *own;
}
} // namespace

Workspace::Workspace(const Deps& deps)
    : options(*deps.options), prompts(*deps.prompts), names(*deps.names),
      fs(deps.fs ? *deps.fs : PosixFileSystem::instance()),
      clock(orOwn<Clock, SteadyClock>(deps.clock, m_ownClock)),
      pump(orOwn<EventPump, NoPump>(deps.pump, m_ownPump)), list(options, prompts, names, fs),
      group(clock, pump), adder(list, group, prompts, options), project(list, options, prompts) {
    // The group counter: every file line added counts for the running group.
    list.hooks.itemAdded = [this] { group.countItem(); };
    // Files added with counting switched on get their playing time (of the
    // tag library's formats too while "Read tags of every kind" is on).
    list.hooks.countPlayTime = [this](const QString& path, const QString&) {
        return CountPlayTime(path, prompts, options.cbAllTags);
    };
}

} // namespace vorlane
