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
    void mouseReleaseEvent(QMouseEvent* e) override;
};

} // namespace kelmor
