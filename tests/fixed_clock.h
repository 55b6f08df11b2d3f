// A clock whose time a test sets.
#pragma once

#include "progress/date_text.h"

class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime now() const override { return now_; }
    void set(DateTime now) { now_ = now; }

private:
    DateTime now_;
};
