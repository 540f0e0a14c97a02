#include "canvas/CanvasHost.h"

#include <atomic>

namespace {
std::atomic<CanvasHost*> currentHost{nullptr};
}

void setCanvasHost(CanvasHost* host) { currentHost.store(host); }

CanvasHost* canvasHost() { return currentHost.load(); }
