#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  app.setApplicationDisplayName(QStringLiteral("Velmor电缆销售开单系统"));
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Velmor电缆销售开单系统"));
  window.show();
  return app.exec();
}
