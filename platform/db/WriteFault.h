#pragma once

// A switch for tests: it makes a chosen write, or a chosen commit, fail as a full disk would, so
// that a test can check that an action leaves every table as it was when any one of its writes
// fails. It is off unless a test arms it, and it counts across every open Database.
namespace kiv::writefault {

// From now on, the nth statement that changes a database (1 = the next one) raises DbError
// instead of running. Transaction control (BEGIN, COMMIT, savepoints) is not counted.
void failWrite(int n);
// The nth outermost commit from now (1 = the next one) raises DbError; its transaction is rolled
// back. An action that commits two files in turn can so fail the second.
void failCommit(int n = 1);
// Disarms the switch and sets the count back to zero.
void clear();
// The writes counted since the last arming or clear, so that a test can learn how many writes an
// action makes and fail each in turn.
int writesCounted();

// Called by the database layer before a write statement runs and before a commit.
void beforeWrite();
void beforeCommit();

}  // namespace kiv::writefault
