#pragma once
#include <QGroupBox>

namespace kelmor {

// A group box that draws its own thin frame, its top half a line down with
// the title on it, 7 pixels in. The window's look without a style sheet,
// whose machinery would be set up for every control inside at start-up.
class FrameBox : public QGroupBox {
    Q_OBJECT
  public:
    using QGroupBox::QGroupBox;

    // Where the frame starts below the top, so that the children's places
    // match the layout with a caption or without.
    static constexpr int FRAME_TOP = 6;
    static constexpr int TITLE_LEFT = 7, TITLE_PADDING = 2;

  protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace kelmor
