// The floor a Qt program starts from: a window with nothing in it and one
// serial port object. scripts/bench-startup starts it and kelmor in turn.
#include <QApplication>
#include <QSerialPort>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QSerialPort port;
    QWidget window;
    window.resize(936, 735);
    window.show();
    return QApplication::exec();
}
