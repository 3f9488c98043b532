#include "support/Threads.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tarnwick {

void runOnThreads(unsigned threads, const std::function<void()>& work) {
    std::exception_ptr failure;
    std::mutex failureLock;
    // An exception must not leave a thread (that ends the program), nor this
    // one before the others are joined.
    const auto guarded = [&] {
        try {
            work();
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };
    std::vector<std::thread> workers;
    try {
        for (unsigned t = 1; t < threads; ++t) workers.emplace_back(guarded);
    } catch (const std::system_error&) {
        // No more threads to be had: fewer do the work.
    }
    guarded();
    for (std::thread& worker : workers) worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace tarnwick
