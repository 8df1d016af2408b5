// Counting drawing objects in tests: what the system itself holds for this process, and
// deletes the framework's wrappers saw refused (each makes the running test fail).
#pragma once
#include <windows.h>

// The GDI objects of this process as the system counts them: GetGuiResources where it
// answers; where it is a stub (Wine), the handle values whose low word names a live slot of
// the process's handle table (Wine takes such a handle for the object in that slot). -1
// when neither answers.
long SystemGdiObjects();

// A test that has the system refuse `n` deletes on purpose says so; the check that fails a
// test on a refused delete then fails it unless exactly that many more were refused.
void ExpectRefusedDeletes(long n);
// The check itself: installed by the test programs' main.
void InstallRefusedDeleteCheck();
