// faults.cpp -- fault injection: tests make the Nth call of a named operation fail.
#include <cstring>
#include <string>
#include <vector>

#include "internal.h"
#include "testing.h"

struct Fault {
    std::string operation;
    int nth;  // 1-based call to fail, counted from when the fault was set; 0 fails every call
    int calls_before;
    HRESULT code;
};

struct CallCount {
    std::string operation;
    int calls;
};

static std::vector<Fault> faults;
static std::vector<CallCount> counts;  // in first-call order

static CallCount& count_of(const char* operation)
{
    for (CallCount& c : counts)
        if (c.operation == operation)
            return c;
    counts.push_back({operation, 0});
    return counts.back();
}

HRESULT fault_check(const char* operation)
{
    const int call = ++count_of(operation).calls;
    for (const Fault& f : faults)
        if (f.operation == operation && (f.nth == 0 || f.nth == call - f.calls_before))
            return f.code;
    return S_OK;
}

void faults_reset()
{
    faults.clear();
    counts.clear();
}

void testing_fault(const char* operation, int nth, HRESULT code)
{
    faults.push_back({operation, nth, count_of(operation).calls, code});
}

void testing_faults_clear() { faults.clear(); }

std::vector<std::string> testing_operations_seen()
{
    std::vector<std::string> names;
    for (const CallCount& c : counts)
        names.push_back(c.operation);
    return names;
}
