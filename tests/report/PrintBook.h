#pragma once

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Utf8.h"
#include "platform/forms/ProgramFolder.h"
#include "platform/report/Report.h"
#include "platform/report/ReportOutput.h"
#include "shell/Schema.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"

namespace kiv::test {

// A program folder of its own with a fresh pt.mdb, a headless host, and the reports written
// into PDFs in the folder and kept for the test to look at.
class PrintBook {
  public:
    PrintBook() : output_(folder_.file("")) {
        setProgramFolder(folder_.file(""));
        pt_ = Database::open(folder_.file("pt.mdb"), printSchema());
        setReportOutput(&output_);
    }
    ~PrintBook() {
        setReportOutput(nullptr);
        setProgramFolder("");
    }

    Database& pt() { return *pt_; }
    TestHost& host() { return host_; }
    const std::vector<PdfReportOutput::Printed>& printed() const { return output_.printed(); }
    std::string file(const std::string& name) const { return folder_.file(name); }
    Report& crtp() { return crtp_; }

    // Refills a print table as the forms do: every row's fields, here given as one text with "|"
    // between them, by position.
    void fill(const std::string& table, const std::vector<std::string>& rows) {
        pt_->Execute("DELETE FROM " + pt_->Table(table));
        auto rs = pt_->OpenTable(table);
        for (const auto& row : rows) {
            rs.AddNew();
            std::istringstream fields(row);
            int i = 0;
            for (std::string field; std::getline(fields, field, '|');)
                rs.SetField(i++, field);
            rs.Update();
        }
    }
    // As the forms print: data file 0, the template in the program's folder, the action. What
    // was printed, if anything.
    const PdfReportOutput::Printed* print(const std::string& name) {
        crtp_.SetDataFiles(0, *pt_);
        crtp_.SetReportFileName(programFile(name + ".rpt"));
        size_t before = printed().size();
        crtp_.SetAction(1);
        return printed().size() > before ? &printed().back() : nullptr;
    }

  private:
    TempFolder folder_;
    TestHost host_;
    std::unique_ptr<Database> pt_;
    PdfReportOutput output_;
    Report crtp_;
};

// What a command prints.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// Text compared as a reader sees it: NFKC (pdftotext gives some characters as Kangxi radicals,
// 支 as U+2F40), the wave dash as the tilde (the font draws "～" and "〜" alike, and the PDF
// reads it back as the wave dash) and without blanks, which text extraction does not keep.
inline std::string readable(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    std::string normal;
    nfkc->normalize(icu::UnicodeString::fromUTF8(text), status).toUTF8String(normal);
    for (size_t at; (at = normal.find("〜")) != std::string::npos;)
        normal.replace(at, 3, "~");
    std::erase_if(normal, [](char c) { return c == ' ' || c == '\n' || c == '\f' || c == '\t'; });
    return normal;
}

inline std::string pdfText(const std::string& pdf) {
    return readable(commandOutput("pdftotext -raw '" + pdf + "' -"));
}

// Whether the text of a PDF (pdfText) holds `expected`. The PDF names each glyph by the lowest
// character the font draws with it, so an ideograph may come back as a CJK radical: one of the
// radicals supplement, which NFKC leaves as it is, stands for any ideograph here.
inline bool pdfHolds(const std::string& text, const std::string& expected) {
    std::u32string got = toCodePoints(text), wanted = toCodePoints(readable(expected));
    auto same = [](char32_t g, char32_t w) {
        return g == w || (g >= 0x2E80 && g <= 0x2EFF && w >= 0x4E00 && w <= 0x9FFF);
    };
    return std::search(got.begin(), got.end(), wanted.begin(), wanted.end(), same) != got.end();
}

}  // namespace kiv::test
