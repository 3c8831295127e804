// rfc-ventana: opens the window that computes the RFC key of a person.
#include "frm_rfc.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("rfc-ventana"));

    frm_RFC = new RfcWindow;
    frm_RFC->setAttribute(Qt::WA_DeleteOnClose);
    frm_RFC->show();
    return app.exec();
}
