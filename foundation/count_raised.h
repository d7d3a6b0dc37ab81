// CountRaised: a count raised for as long as a scope runs (a read in progress, a loop that must
// not be closed under it, the depth of a nested render), lowered again on every way out.
#pragma once

#include <cstdint>

class CountRaised {
public:
    explicit CountRaised(int32_t& count) : count_(count) { ++count_; }
    ~CountRaised() { --count_; }
    CountRaised(const CountRaised&) = delete;
    CountRaised& operator=(const CountRaised&) = delete;

private:
    int32_t& count_;
};
