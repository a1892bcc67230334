#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

namespace kiv {

// The whole of one database file read through once, on a connection and a thread of its own,
// from the moment the file opens. SQLite finds a damaged page only when a statement reads that
// page, so a save would otherwise go through into a file damaged where the save does not look,
// and spread the damage. Reading a book of a million vouchers takes seconds, longer than the
// start may take, so the check runs beside the start and the file's first write waits for it.
class IntegrityCheck {
  public:
    explicit IntegrityCheck(const std::string& path);
    // A check still running is interrupted.
    ~IntegrityCheck();
    IntegrityCheck(const IntegrityCheck&) = delete;
    IntegrityCheck& operator=(const IntegrityCheck&) = delete;

    // Waits for the check to end. Raises DbError when the file is damaged ("acc.mdb 已損毀，無法
    // 讀取" with SQLite's finding below) or could not be read through (the I/O error's message).
    // A check stopped for any other reason (the file held by another program, no memory) finds
    // nothing: the writes then meet what stopped it themselves.
    void awaitSound();
    // Whether the check has ended and found the file sound, without waiting.
    bool foundSound();

  private:
    enum class Outcome { Running, Sound, Damaged, Unknown };
    void run(const std::string& path);
    void end(Outcome outcome, int code = 0, std::string finding = "");

    std::string file_;
    std::mutex mutex_;
    std::condition_variable ended_;
    Outcome outcome_ = Outcome::Running;
    int code_ = 0;
    std::string finding_;
    // The check's connection while it is open, so that a close can interrupt the check.
    sqlite3* reading_ = nullptr;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace kiv
