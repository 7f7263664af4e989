#pragma once

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>
#include <type_traits>

namespace vellumite {

// Runs `work` on a pool thread while this thread keeps dispatching events in a nested loop, and returns
// its result here once it ends. The work gets plain data only: it must not touch the tree, its model or
// any widget. Callers keep the tree unchanged while the block runs.
template<typename Work> auto runWorkerBlock(Work work) -> std::invoke_result_t<Work>
{
    using Result = std::invoke_result_t<Work>;
    QFutureWatcher<Result> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(std::move(work)));
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if constexpr (!std::is_void_v<Result>)
        return watcher.result();
}

} // namespace vellumite
