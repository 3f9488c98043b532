// runOnThreads: one piece of work on several threads at once.
//
// The reader's module files, the resolver's modules and the index texts are
// each handed out one item at a time from a shared counter; work takes items
// until none is left. runOnThreads runs work on this thread and on up to
// threads - 1 more, and returns once all are done. When the system gives no
// more threads, fewer run it: the work is done all the same. An exception
// in any of them comes out of runOnThreads (the first one), once every
// thread is done; the others go on with the items left.
#pragma once

#include <functional>

namespace tarnwick {

void runOnThreads(unsigned threads, const std::function<void()>& work);

}  // namespace tarnwick
