#include "VelmorApplication.h"

#include <exception>

#include "MessageBox.h"

const QString kApplicationTitle = QStringLiteral("Velmor电缆销售开单系统");

TVelmorApplication::TVelmorApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The application name rather than the display name: the platform would
  // append a display name to every window caption.
  setApplicationName(kApplicationTitle);
}

bool TVelmorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    velmor::ShowError(activeWindow(), QString::fromUtf8(error.what()));
  } catch (...) {
    velmor::ShowError(activeWindow(), QStringLiteral("未知错误。"));
  }
  return false;
}
