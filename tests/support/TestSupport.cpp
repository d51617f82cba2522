#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

namespace velmor::test {

void SaveScreenshot(QWidget* widget, const QString& suffix) {
  const QString dir = qEnvironmentVariable("SCREENSHOT_DIR");
  if (dir.isEmpty() || !widget) return;
  QDir().mkpath(dir);
  QString name = QString::fromLatin1(widget->metaObject()->className());
  if (!suffix.isEmpty()) name += QLatin1Char('-') + suffix;
  widget->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

bool InstallInitialDatabase() {
  const QString source = QDir(qEnvironmentVariable("VELMOR_PROGRAM_DIR")).filePath(QStringLiteral("data/cpbill"));
  const QDir appDir(QCoreApplication::applicationDirPath());
  if (!QFile::exists(source) || !appDir.mkpath(QStringLiteral("data"))) return false;
  const QString target = appDir.filePath(QStringLiteral("data/cpbill"));
  QFile::remove(target);
  return QFile::copy(source, target) && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

MessageAnswers::MessageAnswers(QList<QMessageBox::StandardButton> answers) : answers_(std::move(answers)) {
  SetMessageResponder([this](const MessageRequest& request) {
    asked_.append(request);
    if (answers_.isEmpty()) return QMessageBox::Ok;
    return answers_.size() > 1 ? answers_.takeFirst() : answers_.first();
  });
}

MessageAnswers::~MessageAnswers() { SetMessageResponder(nullptr); }

QStringList MessageAnswers::Texts() const {
  QStringList texts;
  for (const auto& r : asked_) texts << r.text;
  return texts;
}

}  // namespace velmor::test
