// Failure injection for the file layer. Tests arm it to make the N-th open, read, write, close
// or rename from now on fail as the system would, and so walk every failure path of a load or a
// save. Internal: nothing outside the library and its tests reaches it, and unarmed it only
// counts calls.
#ifndef GIBO_FRAMEWORK_FAULTS_H
#define GIBO_FRAMEWORK_FAULTS_H

#include <cerrno>

namespace gibo {

enum class FileOp { Open, Read, Write, Close, Rename, Count };

// The nth call of op from now on (1 for the next one) fails with errno err; the others succeed.
void ArmFault(FileOp op, int nth, int err = EIO);
// Disarms every operation and restarts the counts.
void ResetFaults();
// True while any operation is armed.
bool FaultsArmed();
// Calls of op since the last ResetFaults, failed ones included: how many failure points exist.
int FaultCalls(FileOp op);

// For the file layer, before it does op: true, with errno set, when this call must fail.
bool FaultDue(FileOp op);

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_FAULTS_H
