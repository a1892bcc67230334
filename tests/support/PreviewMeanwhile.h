#pragma once

#include <functional>
#include <utility>

#include "platform/report/ReportOutput.h"

namespace kiv::test {

// The print preview, up while `meanwhile` runs (another copy of the program writing), then the
// report goes on to `output`. It takes every report while it lives.
class PreviewMeanwhile : public ReportOutput {
  public:
    PreviewMeanwhile(ReportOutput& output, std::function<void()> meanwhile)
        : output_(output), meanwhile_(std::move(meanwhile)) {
        setReportOutput(this);
    }
    ~PreviewMeanwhile() override { setReportOutput(&output_); }
    void print(const PrintJob& job) override {
        meanwhile_();
        output_.print(job);
    }

  private:
    ReportOutput& output_;
    std::function<void()> meanwhile_;
};

}  // namespace kiv::test
