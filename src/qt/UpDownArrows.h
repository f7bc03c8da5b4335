#pragma once
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kelmor {

// The up/down arrow pair glued to a spinner-edit. It holds no value: each
// press of an arrow (and each repeat while it is held) reports one step.
class UpDownArrows : public QWidget {
    Q_OBJECT
  public:
    explicit UpDownArrows(QWidget* parent = nullptr);

    std::function<void(int)> OnStep; // +1 up, -1 down

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void Step();
    void Stop();

    QTimer Repeat;
    int Pressed = 0; // direction of the arrow held down, 0 when none
};

} // namespace kelmor
