// Opens the window exactly as rfc-ventana does and closes it as soon as the
// event loop runs, so that a memory checker sees one whole start and close.
// Exits with 0 when the program ended the way closing the window ends it: the
// reference cleared, the window destroyed, the event loop's status 0.
#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "frm_rfc.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("rfc-ventana"));

    frm_RFC = new RfcWindow;
    frm_RFC->setAttribute(Qt::WA_DeleteOnClose);
    frm_RFC->show();
    const QPointer<RfcWindow> window = frm_RFC;
    QTimer::singleShot(0, frm_RFC, [] { frm_RFC->close(); });
    const int status = app.exec();
    if (frm_RFC != nullptr) {
        qCritical("frm_RFC still set after the window closed");
        return 1;
    }
    if (window) {
        qCritical("the window outlived the event loop");
        return 1;
    }
    return status;
}
