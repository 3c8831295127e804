// The one place where the program asks the desktop to open something.
#pragma once

#include <QString>

namespace Module1 {

// Opens the web page at `address`, a bare host name such as "example.org", in
// the user's default browser, with "https://" put before it. Returns at once;
// a desktop that cannot open it is not reported and changes nothing.
void OpenWebPage(const QString& address);

}  // namespace Module1
