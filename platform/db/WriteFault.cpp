#include "platform/db/WriteFault.h"

#include <sqlite3.h>

#include "platform/db/Errors.h"

namespace kiv::writefault {

namespace {

int writes = 0;
int failingWrite = 0;
int commits = 0;
int failingCommit = 0;

}  // namespace

void failWrite(int n) {
    writes = 0;
    failingWrite = n;
}

void failCommit(int n) {
    commits = 0;
    failingCommit = n;
}

void clear() {
    writes = 0;
    failingWrite = 0;
    commits = 0;
    failingCommit = 0;
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
    if (failingCommit <= 0 || ++commits != failingCommit) return;
    failingCommit = 0;
    throw DbError("database or disk is full (test)", "", SQLITE_FULL);
}

}  // namespace kiv::writefault
