#include "platform/db/WriteFault.h"

#include <sqlite3.h>

#include "platform/db/Errors.h"

namespace kiv::writefault {

namespace {

int writes = 0;
int failingWrite = 0;
bool commitFails = false;

}  // namespace

void failWrite(int n) {
    writes = 0;
    failingWrite = n;
}

void failCommit() {
    commitFails = true;
}

void clear() {
    writes = 0;
    failingWrite = 0;
    commitFails = false;
}

int writesCounted() {
    return writes;
}

void beforeWrite() {
    ++writes;
    if (failingWrite == 0 || writes != failingWrite) return;
    failingWrite = 0;
    throw DbError("database or disk is full (test)", "", SQLITE_FULL);
}

void beforeCommit() {
    if (!commitFails) return;
    commitFails = false;
    throw DbError("database or disk is full (test)", "", SQLITE_FULL);
}

}  // namespace kiv::writefault
