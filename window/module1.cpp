#include "module1.h"

#include <QDesktopServices>
#include <QUrl>

namespace Module1 {

void OpenWebPage(const QString& address)
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + address));
}

}  // namespace Module1
