#include "test_clock.h"

#include <thread>

namespace qeltest {

void TestClock::SleepFor(Duration d) {
    sleeps_.fetch_add(1);
    if (d > Duration::zero()) {
        now_.fetch_add(d.count());
        slept_.fetch_add(d.count());
    }
    std::this_thread::yield();
}

}  // namespace qeltest
