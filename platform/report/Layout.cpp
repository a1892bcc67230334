#include "platform/report/Layout.h"

namespace kiv {

namespace {

// A band put on a page, with the row it prints.
struct Placement {
    const Band* band;
    const std::vector<Value>* row;
    int page;
    double top;
};

class Placer {
  public:
    explicit Placer(const Template& report) : report_(report) { startPage(); }

    void place(const std::optional<Band>& band, const std::vector<Value>* row = nullptr) {
        if (!band) return;
        if (top_ + band->height > report_.pageHeight - report_.margin + 1e-9) startPage();
        placements_.push_back({&*band, row, page_, top_});
        top_ += band->height;
    }

    const std::vector<Placement>& placements() const { return placements_; }
    int pageCount() const { return page_ + 1; }

  private:
    void startPage() {
        ++page_;
        top_ = report_.margin;
        if (report_.header) {
            placements_.push_back({&*report_.header, nullptr, page_, top_});
            top_ += report_.header->height;
        }
    }

    const Template& report_;
    std::vector<Placement> placements_;
    int page_ = -1;
    double top_ = 0;
};

std::string fieldText(const FieldItem& field, const Placement& at, const ReportData& data,
                      int pageCount) {
    Value value;
    switch (field.ref.kind) {
        case FieldRef::Kind::Page:
            return std::to_string(at.page + 1);
        case FieldRef::Kind::Pages:
            return std::to_string(pageCount);
        case FieldRef::Kind::Column:
            value = at.row->at(field.ref.column);
            break;
        default:
            if (auto found = data.values.find(field.ref.key()); found != data.values.end())
                value = found->second;
    }
    return value.isNull() ? field.nullText.value_or("") : value.text();
}

void addText(Page& page, double x, double y, double width, const Font& font, Align align,
             std::string text) {
    if (text.empty()) return;
    page.texts.push_back({x, y, width, lineHeight(font), std::move(text), font, align});
}

void render(const Placement& at, const Template& report, const ReportData& data, int pageCount,
            Page& page) {
    double left = report.margin, top = at.top;
    for (const auto& item : at.band->items) {
        if (const auto* text = std::get_if<TextItem>(&item))
            addText(page, left + text->x, top + text->y, text->width, text->font, text->align,
                    text->text);
        else if (const auto* field = std::get_if<FieldItem>(&item))
            addText(page, left + field->x, top + field->y, field->width, field->font, field->align,
                    fieldText(*field, at, data, pageCount));
        else if (const auto* line = std::get_if<LineItem>(&item))
            page.lines.push_back(
                {left + line->x1, top + line->y1, left + line->x2, top + line->y2});
        else if (const auto* box = std::get_if<BoxItem>(&item))
            page.boxes.push_back({left + box->x, top + box->y, box->width, box->height});
    }
}

}  // namespace

double lineHeight(const Font& font) {
    // A CJK font's ascent and descent together come to about 1.45 of its size.
    return font.size * 25.4 / 72 * 1.45;
}

PageModel layOut(const Template& report, const ReportData& data) {
    Placer placer(report);
    for (const auto& row : data.detail.rows)
        placer.place(report.detail, &row);
    for (const auto& row : data.summary.rows)
        placer.place(report.summary, &row);
    placer.place(report.footer);

    PageModel model{report.pageWidth, report.pageHeight, {}};
    model.pages.resize(placer.pageCount());
    for (const auto& at : placer.placements())
        render(at, report, data, placer.pageCount(), model.pages[at.page]);
    return model;
}

}  // namespace kiv
