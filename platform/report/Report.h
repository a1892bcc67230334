#pragma once

#include <functional>
#include <string>

namespace kiv {

class Database;

// The report control a form carries (`crtp`): the form gives it the data file, then the template,
// then the print action, as the old control took them. The settings stay between runs, so a
// print that sets no template prints the last one again.
class Report {
  public:
    // Data file 0: the database whose tables the template reads (the forms pass PrintDb).
    void SetDataFiles(int index, Database& db);
    Database* DataFiles(int index) const;

    // The template's file, usually programFile(name + ".rpt").
    void SetReportFileName(const std::string& path) { reportFileName_ = path; }
    const std::string& ReportFileName() const { return reportFileName_; }

    // 1 runs the report: its template is read (a missing default template is first written from
    // the one built in), its tables read and its pages laid out and sent to reportOutput(). A
    // template in error is refused with its file and line, and nothing prints.
    void SetAction(int action);
    int Action() const { return action_; }

    // Prints as action 1 does, over the rows `fill` writes into data file 0 first: the writing
    // and the reading of what prints are one transaction, which waits its turn behind another
    // copy's write and commits before the output (the preview, the printer) takes over. Another
    // copy of the program shares pt.mdb and refills the same tables whenever it likes; only
    // this way is what prints what this copy wrote. A write that fails prints nothing.
    void PrintFilledBy(const std::function<void()>& fill);

  private:
    void run(const std::function<void()>& fill);

    Database* dataFile_ = nullptr;
    std::string reportFileName_;
    int action_ = 0;
};

}  // namespace kiv
