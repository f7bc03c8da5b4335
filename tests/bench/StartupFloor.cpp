// The floor a Qt program starts from: a window with nothing in it and one
// serial port object. With --text the window also holds a line of text and an
// edit, so fonts are loaded and the accessibility bus is asked, as in every
// window that shows text. scripts/bench-startup starts them and kelmor in turn.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPort>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QSerialPort port;
    QWidget window;
    window.resize(936, 735);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto* label = new QLabel(QStringLiteral("Engine speed 11,000 rpm"), &window);
        label->move(20, 20);
        auto* edit = new QLineEdit(QStringLiteral("11,000"), &window);
        edit->move(20, 50);
    }
    window.show();
    return QApplication::exec();
}
