// The least a Qt Widgets program does to show a window: the floor of the start-up timing.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    // The main window's size, so that both draw as many pixels.
    window.resize(644, 453);
    window.show();
    return QApplication::exec();
}
