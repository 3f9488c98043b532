#include "support/Threads.h"

#include <system_error>
#include <thread>
#include <vector>

namespace tarnwick {

void runOnThreads(unsigned threads, const std::function<void()>& work) {
    std::vector<std::thread> workers;
    try {
        for (unsigned t = 1; t < threads; ++t) workers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: fewer do the work.
    }
    work();
    for (std::thread& worker : workers) worker.join();
}

}  // namespace tarnwick
