#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace vellumite::testfiles {

// Runs `work` on a thread of its own and waits at most `timeoutMs` for it: true when it finished in
// time. A read that hangs (on a pipe that no one writes) then fails its test instead of hanging the
// suite; its thread is left behind and ends with the test program. `work` must not touch what the test
// destroys after a failure, so it writes its results only into objects that outlive it.
[[nodiscard]] inline bool finishesWithin(int timeoutMs, std::function<void()> work)
{
    std::packaged_task<void()> task(std::move(work));
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    return done.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready;
}

} // namespace vellumite::testfiles
