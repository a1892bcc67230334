#pragma once

#include <string>
#include <vector>

namespace kiv {

class Grid;

// A grid's column widths kept between runs in a small text file of the program's folder, one
// line per column: line k + 1 holds column k's width in twips as a whole number.
class ColumnWidthFile {
  public:
    // `name` is the file's name in the program's folder; `columns` the lines it holds.
    ColumnWidthFile(std::string name, int columns);

    // Sets each column that has a line reading as a whole number of twips, 0 or more (blanks and a
    // CR around it are ignored) to that width; a column without such a line, or a missing file,
    // keeps its width. A width other than the column's own is the user's, drawn as it is.
    void Load(Grid& grid) const;
    // As Load, for a form with widths of its own: a column without a valid line takes its width
    // from `defaults` (one per line of the file), and a line of -1, as Save writes a column left
    // at the grid's default, gives the grid's default back. A line equal to its default is the
    // form's width, not the user's.
    void Load(Grid& grid, const std::vector<int>& defaults) const;
    // Writes every line from the grid's widths, replacing the file; false when it cannot be
    // written (the widths are a convenience, so nothing else depends on them).
    bool Save(const Grid& grid) const;

    std::string path() const;

  private:
    std::string name_;
    int columns_;
};

}  // namespace kiv
