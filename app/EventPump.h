#pragma once

namespace plw {

// Yielding to the window system at the fixed points of long work, so that windows repaint and
// a cancel button can be pressed. The desktop processes pending events; core code counts.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void yield() = 0;
};

class CountingEventPump final : public EventPump {
public:
    void yield() override { ++mCount; }
    int count() const { return mCount; }

private:
    int mCount = 0;
};

} // namespace plw
