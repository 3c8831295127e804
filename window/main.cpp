// rfc-ventana: opens the window that computes the RFC key of a person.
#include <QApplication>
#include <cstdio>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "frm_rfc.h"

namespace {

// Writes TEXT whole to STREAM; false when it could not (a full disk, a closed pipe).
bool write_all(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    // --help, --version and wrong arguments are answered before QApplication
    // exists, so that they work where no display can be opened.
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (const auto answer = window_command_line::answer(args)) {
        if (!write_all(stdout, answer->out) || !write_all(stderr, answer->err)) {
            std::fputs("rfc-ventana: no se pudo escribir la respuesta\n", stderr);
            return window_command_line::exit_status::write_error;
        }
        return answer->status;
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("rfc-ventana"));

    frm_RFC = new RfcWindow;
    frm_RFC->setAttribute(Qt::WA_DeleteOnClose);
    frm_RFC->show();
    return app.exec();
}
