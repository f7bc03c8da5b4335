#pragma once
#include <QDialog>
#include <array>

class QLabel;

namespace kelmor {

// The About window: the program's purpose, the maker's logo and contact
// lines, the build date and time and the protocol version. One is created
// at start and shown again by every About command.
class TFormAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TFormAbout(QWidget* parent = nullptr);

    QLabel* LabelAbout = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QLabel*, 9> ContactLabels{}; // Label2 to Label10
    QLabel* LabelDate = nullptr;
    QLabel* LabelExit = nullptr;
    QLabel* LabelTime = nullptr;
    QLabel* LabelRsKey = nullptr;

    void FormCreate();
    void FormActivate();
    void Button1Click();

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
};

} // namespace kelmor
