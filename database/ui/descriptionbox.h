// The description box of the browser (Picture1): lines of text printed from the top left,
// where an item may first move the print position to a character column measured in the
// average character width of the box's font, as the description's right-hand column needs.
#pragma once

#include "database/display.h"

#include <QFrame>

#include <vector>

namespace relperm::databaseui {

class DescriptionBox : public QFrame {
    Q_OBJECT
  public:
    explicit DescriptionBox(QWidget* parent = nullptr);

    void setLines(std::vector<DescriptionLine> lines);
    const std::vector<DescriptionLine>& lines() const { return lines_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<DescriptionLine> lines_;
};

} // namespace relperm::databaseui
