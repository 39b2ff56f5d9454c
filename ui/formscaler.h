// Lets a window whose controls stand at fixed places grow as a whole. The client area keeps
// its designed size as its least; when the window is enlarged, every control placed in twips,
// every font, grid and plot, and the circles and boxes of option buttons and check boxes grow
// by one factor, so the layout is the one designed and a large screen gives large plots and
// grids rather than empty space.
#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace relperm::ui {

class FormScaler : public QObject {
  public:
    // Call once the client's controls are all built and placed: what they are then is the
    // design the scaler keeps. The client's least size becomes `designed`.
    FormScaler(QWidget* client, QSize designed);

    // The factor the form is drawn at: 1 at the designed size.
    double scale() const { return scale_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class IndicatorStyle;

    void apply(double scale);

    struct Placed {
        QPointer<QWidget> widget;
        QRect geometry;
    };
    struct Styled {
        QPointer<QWidget> widget;
        QFont font;
    };
    QWidget* client_;
    QSize designed_;
    std::vector<Placed> placed_;
    std::vector<Styled> fonts_;
    IndicatorStyle* indicators_ = nullptr;
    double scale_ = 1;
};

} // namespace relperm::ui
