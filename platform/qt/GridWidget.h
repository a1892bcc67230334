#pragma once

#include <QAbstractScrollArea>
#include <string_view>
#include <vector>

#include "platform/forms/Grid.h"
#include "platform/qt/ControlBinding.h"

namespace kiv {

// A date or an amount as the listings show them (digits with their separators, an era, 年月日):
// a cell text that is never to lose a digit where its grid has room.
bool IsDateOrAmount(std::string_view text);

// The flex grid drawn by hand: fixed rows and columns as raised grey headers that do not scroll,
// the cells with their own colours, alignment and boldness, merged header cells, the current
// cell and the selection. Only the rows in view are looked at, so a grid of 100,000 rows draws as
// fast as one of ten; the model's notifications only mark the view for the next repaint.
// The scroll bars stand for TopRow and LeftCol.
class GridWidget : public QAbstractScrollArea, public ControlBinding {
  public:
    GridWidget(FormWindow& window, Grid& grid, QWidget* parent);

    // Where a cell is drawn, in pixels of the viewport; empty when it is out of view.
    QRect cellRect(int row, int col) const;
    // Whether a cell in view shows its text cut short.
    bool cellTextCut(int row, int col) const;
    // The widths of the columns the grid shows, in pixels, against the room it has for them.
    int shownColumnsWidth() const;

  protected:
    void show(Property property) override;
    bool filter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    // The rows and columns in view with their pixel edges (one edge more than entries).
    struct Lines {
        std::vector<int> index;
        std::vector<int> edge;
    };
    Lines rowsInView() const;
    Lines colsInView() const;
    int cellAtRow(int y) const;
    int cellAtCol(int x) const;
    int lastTopRow() const;
    int lastLeftCol() const;
    void scheduleScrollBars();
    void showScrollBars();
    void fitColumns();
    int textTwips(int row, int col, std::string_view text) const;
    void scrollTo(int topRow, int leftCol);
    void keepCurrentInView();
    int resizeBorderAt(QPoint point) const;

    void paintCell(QPainter& painter, const QRect& rect, int row, int col, bool fixed);
    QFont cellFont(int row, int col) const;
    static QRect textArea(const QRect& cell);
    QString cutTextAt(QPoint point) const;
    bool selected(int row, int col) const;

    bool mouseEvent(QEvent* event);
    bool keyEvent(QKeyEvent& key);

    Grid& grid_;
    bool scrollBarsPending_ = false;
    // The column being widened by the mouse, and where its left edge is.
    int resizingCol_ = -1;
    int resizingLeft_ = 0;
    // The release after a double click's second press is a plain MouseUp, not another Click.
    bool secondPress_ = false;
};

}  // namespace kiv
