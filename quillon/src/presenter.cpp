// One thread and one picture in hand at a time, handed over under a mutex.
#include "presenter.h"

#include "frame_latency.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

std::thread worker;
std::mutex lock;
std::condition_variable changed;
QlPresentFn presentFn = nullptr;
const uint32_t* inHand = nullptr; // the picture to present, until it has been
double inHandInput = 0.0;         // when its frame's input was gathered
bool running = false;

void Loop() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        changed.wait(held, [] { return inHand || !running; });
        if (!inHand) return; // stopped with nothing left to show
        const uint32_t* pixels = inHand;
        double input = inHandInput;
        held.unlock();
        presentFn(pixels);
        FrameLatency_Add(input);
        held.lock();
        inHand = nullptr;
        changed.notify_all();
    }
}

} // namespace

void Presenter_Start(QlPresentFn present) {
    Presenter_Stop();
    presentFn = present;
    running = true;
    worker = std::thread(Loop);
}

void Presenter_Stop() {
    if (!worker.joinable()) return;
    {
        std::lock_guard<std::mutex> held(lock);
        running = false;
    }
    changed.notify_all();
    worker.join();
    presentFn = nullptr;
}

bool Presenter_On() {
    return worker.joinable();
}

void Presenter_Hand(const uint32_t* pixels, double inputSeconds) {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [] { return inHand == nullptr; });
    inHand = pixels;
    inHandInput = inputSeconds;
    changed.notify_all();
}

void Presenter_Wait() {
    if (!worker.joinable()) return;
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [] { return inHand == nullptr; });
}
