// Reports whether another copy of the program holds the single-instance name: prints "taken"
// or "free" (of the name instanceGuardName() gives). Lets the tests check the guard between real processes.
#include "app/instanceguard.h"

#include <cstdio>

int main()
{
    const InstanceGuard guard(instanceGuardName());
    std::puts(guard.anotherInstanceRuns() ? "taken" : "free");
    return 0;
}
