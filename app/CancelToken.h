#pragma once

namespace plw {

// The operator's cancel of a run: requested once confirmed in the progress window, polled by
// the scoring and the sheet writers, reset when the next run starts.
class CancelToken {
public:
    CancelToken() = default;
    explicit CancelToken(bool requested) : mRequested(requested) {}

    void request() { mRequested = true; }
    void reset() { mRequested = false; }
    bool requested() const { return mRequested; }

private:
    bool mRequested = false;
};

} // namespace plw
