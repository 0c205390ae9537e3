// fault_seam.cpp -- the seam fault injection goes through: every stand-in entry point that can fail
// asks fault_check once per call. The program installs no checker, so every call goes on; the test
// hooks install theirs to make the Nth call of a named operation fail in this very code.
#include "internal.h"

static FaultChecker checker = nullptr;

void faults_install(FaultChecker c) { checker = c; }

HRESULT fault_check(const char* operation) { return checker ? checker(operation) : S_OK; }
