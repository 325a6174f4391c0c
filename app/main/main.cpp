// Quorvane's entry: the application object is created after the QApplication.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(u8"Quorvane"));
    window.show();
    return qapp.exec();
}
