#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "platform/db/Database.h"

namespace kiv::test {

// Another copy of the program in the middle of a short save: on a thread of its own it begins a
// write (BEGIN IMMEDIATE and `write`), holds the file's write lock for `hold`, and commits. The
// constructor returns once the lock is held; the destructor waits for the commit.
class HeldWriteLock {
  public:
    HeldWriteLock(const std::string& path, const Schema& schema, Sql write,
                  std::chrono::milliseconds hold)
        : copy_([this, path, schema, write = std::move(write), hold] {
              auto db = Database::open(path, schema);
              Transaction saving(*db, TransactionKind::Writes);
              db->Execute(write);
              held_.set_value();
              std::this_thread::sleep_for(hold);
              saving.Commit();
          }) {
        held_.get_future().wait();
        since_ = std::chrono::steady_clock::now();
    }
    ~HeldWriteLock() { copy_.join(); }
    HeldWriteLock(const HeldWriteLock&) = delete;
    HeldWriteLock& operator=(const HeldWriteLock&) = delete;

    // How long the lock has been held so far (or was, once released).
    std::chrono::milliseconds heldFor() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - since_);
    }

  private:
    std::promise<void> held_;
    std::chrono::steady_clock::time_point since_;
    std::thread copy_;
};

}  // namespace kiv::test
