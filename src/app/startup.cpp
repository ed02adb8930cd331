#include "app/startup.h"

#include "app/login.h"

#include <QApplication>

namespace tv::app {

int runProgram() {
    auto* login = new Login();
    login->setAttribute(Qt::WA_DeleteOnClose);
    if (!login->load()) {
        delete login;
        return 1;
    }
    // Closing the sign-in window without signing in ends the program; after a sign-in the
    // main window is the last window, and closing it ends the program.
    QObject::connect(login, &QDialog::rejected, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    login->show();
    return QApplication::exec();
}

}  // namespace tv::app
