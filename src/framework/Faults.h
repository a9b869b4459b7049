// The fault seam of the file layer (SysFile.h): every call asks it first whether to fail. The
// shipped library links FaultsOff.cpp, where nothing ever fails; the test program links
// Faults.cpp, whose switches make the N-th call of an operation fail with a chosen errno, so
// that a test walks every failure point of a load or a save on the paths production takes.
#ifndef GIBO_FRAMEWORK_FAULTS_H
#define GIBO_FRAMEWORK_FAULTS_H

#include <cerrno>

namespace gibo {

enum class FileOp { Open, Create, Read, Write, Copy, Sync, Rename, Remove, Close, Count };

// For the file layer, before it does op: 0 to go on, or the errno this call fails with.
int FaultDue(FileOp op);

// A point between a check and the step that relies on it (stage names it). Test builds run the
// shell command of GIBO_TEST_HOOK="stage:command" there, once for each time the stage is
// reached, so that a test changes the files at exactly that moment; elsewhere nothing happens.
void TestHook(const char* stage);

#ifdef GIBO_FAULT_SWITCHES
// Test builds only. From the nth call of op on (1 for the next one), `times` calls fail with
// err; the others succeed.
void ArmFault(FileOp op, int nth, int err = EIO, int times = 1);
// Disarms every operation and restarts the counts.
void ResetFaults();
// Calls of op since the last ResetFaults, failed ones included.
int FaultCalls(FileOp op);
#endif

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_FAULTS_H
