// The yardstick of the start-up benchmark: the least a Qt Widgets program
// does to show a window of the main frame's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("minimal"));
  window.resize(750, 580);
  window.show();
  return QApplication::exec();
}
