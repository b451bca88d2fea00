// The browser build's pool: the page's module runs on one thread, so every part of a job runs on
// the caller, in order, and the pool never has threads of its own.

#include "fluid/WorkerPool.h"

namespace velmorra {

WorkerPool::WorkerPool(int /*threadCount*/) {}

WorkerPool::~WorkerPool() = default;

int WorkerPool::coreCount() {
    return 1;
}

void WorkerPool::runParts(int parts, PartFunction function, void* context) {
    for (int p = 0; p < parts; ++p) {
        function(context, p);
    }
}

} // namespace velmorra
