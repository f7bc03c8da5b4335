#pragma once
// The Qt window and its logic as the program puts them together, for the
// tests on the offscreen platform.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qt/MainWindow.h"
#include "qt/QtPlatform.h"
#include "ui/TFormHlav.h"

namespace kelmor::test {

// The Qt platform with boxes that only record (unless RealBoxes), a serial
// port from `Ports` (none by default), and a settings folder of its own.
class RecordingPlatform : public QtPlatform {
  public:
    explicit RecordingPlatform(std::string dir) : Dir(std::move(dir)) {}
    std::vector<std::string> Boxes;
    bool RealBoxes = false; // real modal boxes, with their own event loops
    std::string PdfPath;    // the answer of the PDF dialog
    std::string OpenPath;   // the answer of the plain open dialog
    std::function<std::unique_ptr<SerialPort>(int)> Ports;

    void MessageBox(std::string_view text) override {
        Boxes.emplace_back(text);
        if (RealBoxes) QtPlatform::MessageBox(text);
    }
    std::optional<std::string> OpenDialog(const std::string& proposed) override {
        if (OpenPath.empty()) return QtPlatform::OpenDialog(proposed);
        return OpenPath;
    }
    std::optional<std::string> SavePdfDialog(const std::string&) override {
        if (PdfPath.empty()) return std::nullopt;
        return PdfPath;
    }
    std::string ConfigDir() override { return Dir; }
    std::unique_ptr<SerialPort> MakeSerialPort(int com) override {
        return Ports ? Ports(com) : nullptr;
    }

  private:
    std::string Dir;
};

struct Harness {
    explicit Harness(const QString& dir,
                     std::function<std::unique_ptr<SerialPort>(int)> ports = nullptr,
                     const std::string& groupSeparator = " ")
        : Platform(dir.toStdString()) {
        Platform.Ports = std::move(ports);
        Form.Model().SetGroupSeparator(groupSeparator);
        Platform.SetView(&View);
        Form.FormCreate({"ENGLISH"});
        View.show();
        View.activateWindow();
    }
    RecordingPlatform Platform;
    TFormHlav Form{Platform};
    MainWindow View{Form};

    QWidget* W(ControlId id) const { return View.Widget(id); }
    QLineEdit* Edit(ControlId id) const { return static_cast<QLineEdit*>(View.Widget(id)); }
    const ControlState& S(ControlId id) { return Form.Model()[id]; }
    ControlId Focused() const { return View.FocusedControl(); }

    void PressEnter(bool keypad = false) {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) target = &View;
        QTest::keyClick(target, keypad ? Qt::Key_Enter : Qt::Key_Return,
                        keypad ? Qt::KeypadModifier : Qt::NoModifier);
    }
    // Replaces an edit's text the way typing does.
    void Type(ControlId id, const QString& text) {
        QLineEdit* e = Edit(id);
        e->setFocus(Qt::MouseFocusReason);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    // Moves the pointer over a widget through the window system, so that
    // Qt itself works out what was entered and left.
    void Hover(QWidget* w) {
        QTest::mouseMove(View.windowHandle(), w->mapTo(&View, w->rect().center()));
        QCoreApplication::processEvents();
    }
};

// Hands every modal window that opens to `answer`, which must close it in
// the end; after `limitMs` whatever is open is closed. It looks every 50 ms
// from a timer of its own, so it runs inside the boxes' event loops.
class ModalAnswerer {
  public:
    ModalAnswerer(std::function<void(QWidget*)> answer, int limitMs = 5000) {
        Started.start();
        QObject::connect(&Poll, &QTimer::timeout, [this, answer, limitMs] {
            QWidget* box = QApplication::activeModalWidget();
            if (box == nullptr || !box->isVisible()) return;
            if (Started.elapsed() > limitMs)
                box->close();
            else
                answer(box);
        });
        Poll.start(50);
    }

  private:
    QTimer Poll;
    QElapsedTimer Started;
};

} // namespace kelmor::test
