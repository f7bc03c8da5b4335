#pragma once
#include <QCheckBox>
#include <functional>

namespace kelmor {

// A check box that reports the release of a mouse button over it, after
// the release has toggled it.
class CheckField : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

    std::function<void()> OnMouseUp;

  protected:
    // The whole control reacts to the mouse, not only the box and its text.
    bool hitButton(const QPoint& pos) const override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

} // namespace kelmor
