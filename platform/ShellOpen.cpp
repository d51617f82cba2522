#include "ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace velmor {

bool OpenWithProgram(const QString& path) {
  const QFileInfo file(path);
  if (!file.exists() || file.isDir()) return false;
  if (file.isExecutable()) return QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath());
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

bool OpenWebAddress(const QString& address) {
  const QUrl url(address, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().isEmpty()) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace velmor
