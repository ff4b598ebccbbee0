// While one of these lives, every operator new of the program is counted.
#pragma once

#include <atomic>

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    long count() const;
};
