// The application object. An exception that reaches the message loop is
// shown to the user in a message box, and the program goes on.
#pragma once

#include <QApplication>

class TVelmorApplication : public QApplication {
  Q_OBJECT

 public:
  TVelmorApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

// The application's title.
extern const QString kApplicationTitle;
