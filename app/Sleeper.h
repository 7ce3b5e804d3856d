#pragma once

#include <chrono>
#include <thread>

namespace plw {

// Waiting a number of milliseconds; the program sleeps, tests count.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleep(int milliseconds) = 0;
};

// The thread sleeping for real.
class ThreadSleeper final : public Sleeper {
public:
    void sleep(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace plw
