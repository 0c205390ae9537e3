// testing_internal.h -- what the test hook files share among themselves: the parts of testing_reset
// kept beside the hooks they reset.
#pragma once

// ---- testing_faults.cpp ----
// No faults set, every call count at 0, no operation seen; the fault checker installed in the stand-in.
void fault_table_reset();

// ---- testing_input.cpp ----
// Lets go of every key, mouse button and controller the tests held, as a host reports it.
void input_let_go();
