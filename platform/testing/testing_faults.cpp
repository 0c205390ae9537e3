// testing_faults.cpp -- fault injection: tests make the Nth call of a named operation fail. The
// checker below sits in the stand-in's fault seam, which every entry point asks once per call, so
// the common case (no fault set) is a pointer lookup.
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "internal.h"
#include "testing.h"
#include "testing_internal.h"

struct CallCount {
    std::string operation;
    int calls = 0;
    bool seen = false;  // called since the last reset
};

struct Fault {
    CallCount* operation;
    int nth;  // 1-based call to fail, counted from when the fault was set; 0 fails every call
    int calls_before;
    HRESULT code;
};

static std::vector<std::unique_ptr<CallCount>> counts;  // every name ever asked for
static std::vector<CallCount*> seen_order;  // called since reset, first call first
static std::unordered_map<const void*, CallCount*> by_address;  // the callers' name strings
static std::vector<Fault> faults;

static CallCount* count_named(const char* operation)
{
    CallCount* found = nullptr;
    for (auto& c : counts)
        if (c->operation == operation)
            found = c.get();
    if (!found) {
        counts.push_back(std::make_unique<CallCount>());
        counts.back()->operation = operation;
        found = counts.back().get();
    }
    return found;
}

// The stand-in names its operations with string literals, whose addresses never change: remember
// each address once. (Tests may pass short-lived strings, so testing_fault looks names up by text.)
static CallCount* count_of(const char* operation)
{
    static const char* last_name = nullptr;  // runs of the same call (a frame's blits) skip the map
    static CallCount* last = nullptr;
    if (operation == last_name)
        return last;
    last_name = operation;
    if (auto it = by_address.find(operation); it != by_address.end())
        return last = it->second;
    last = count_named(operation);
    by_address.emplace(operation, last);
    return last;
}

static HRESULT check_call(const char* operation)
{
    CallCount* c = count_of(operation);
    const int call = ++c->calls;
    if (!c->seen) {
        c->seen = true;
        seen_order.push_back(c);
    }
    for (const Fault& f : faults)
        if (f.operation == c && (f.nth == 0 || f.nth == call - f.calls_before))
            return f.code;
    return S_OK;
}

void fault_table_reset()
{
    faults_install(check_call);
    faults.clear();
    seen_order.clear();
    for (auto& c : counts) {
        c->calls = 0;
        c->seen = false;
    }
}

void testing_fault(const char* operation, int nth, HRESULT code)
{
    faults_install(check_call);
    CallCount* c = count_named(operation);
    faults.push_back({c, nth, c->calls, code});
}

void testing_faults_clear() { faults.clear(); }

std::vector<std::string> testing_operations_seen()
{
    std::vector<std::string> names;
    for (const CallCount* c : seen_order)
        names.push_back(c->operation);
    return names;
}
