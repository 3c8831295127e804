// rfc batch on hostile input and on files as offices have them: what comes
// out is what went in, byte for byte, plus the two added columns.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch_command.h"
#include "cli.h"
#include "csv_reader.h"

namespace rfc_cli {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome batch(const std::string& input, BatchOptions options = {}) {
    delimited::StringSource in(input, 4093);
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{in, out, err};
    const int status = convert::code(run_batch(in, options, console));
    return {status, out.text(), err.text()};
}

// `utf8` in `encoding` as iconv of the C library writes it (without a
// byte-order mark).
std::string encoded(const std::string& utf8, const char* encoding) {
    iconv_t convert = ::iconv_open(encoding, "UTF-8");
    EXPECT_NE(convert, reinterpret_cast<iconv_t>(-1));
    std::string out(utf8.size() * 4, '\0');
    char* in_bytes = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    char* out_bytes = out.data();
    std::size_t out_left = out.size();
    EXPECT_NE(::iconv(convert, &in_bytes, &in_left, &out_bytes, &out_left), std::size_t(-1));
    ::iconv_close(convert);
    out.resize(out.size() - out_left);
    return out;
}

// The rows of a payroll export in UTF-8 with `separator`: ten columns in the
// office's order, a quoted field holding the separator, a quoted line break,
// accents in the columns that are not names; the expected output beside it.
struct Export {
    std::string input;
    std::string output;
};

Export payroll_export(char separator, const std::string& line_end) {
    const std::string s(1, separator);
    const std::string no_key =
        "sin clave: el carácter U+00C9 «É» en la posición 4 del nombre no tiene valor en la tabla; "
        "con --fold-accents se quitan los acentos";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"No." + s + "Nombre(s)" + s + "Apellido Paterno" + s + "Apellido Materno" + s +
             "Fecha de Nacimiento" + s + "Puesto" + s + "Área" + s + "Sueldo" + s + "Alta" + s +
             "Notas",
         "rfc" + s + "resultado"},
        {"1" + s + "JUAN" + s + "PEREZ" + s + "LOPEZ" + s + "1980-01-15" + s + "Almacén" + s +
             "Compras" + s + "\"14" + s + "922.00\"" + s + "2015-01-09" + s + "\"dice \"\"sí\"\"\"",
         "PELJ8001152A0" + s + "ok"},
        {"2" + s + "ANA" + s + "GOMEZ" + s + "DIAZ" + s + "03/12/1975" + s + "Gerente de área" + s +
             "Dirección" + s + "1" + s + "2016-02-01" + s + "\"dos\nlíneas\"",
         "GODA7512038D0" + s + "ok"},
        {"3" + s + "JOSÉ" + s + "NUÑEZ" + s + "RUIZ" + s + "1970-07-07" + s + "" + s + "" + s + "" +
             s + "" + s + "",
         s + (separator == ';' ? "\"" + no_key + "\"" : no_key)},
    };
    Export file;
    for (const auto& [row, added] : rows) {
        file.input += row + line_end;
        file.output += row + s + added + line_end;
    }
    return file;
}

// Each separator and encoding: the output is the input, every column byte
// for byte, in the input's encoding, byte-order mark and line ends, with the
// two columns added.
TEST(BatchFiles, EverySeparatorAndEncodingRoundTrips) {
    const struct {
        const char* iconv_name;
        std::string mark;
        std::string_view said;
    } encodings[] = {
        {"UTF-8", "", "UTF-8"},
        {"UTF-8", "\xEF\xBB\xBF", "UTF-8"},
        {"WINDOWS-1252", "", "Windows-1252"},
        {"UTF-16LE", "\xFF\xFE", "UTF-16 LE"},
        {"UTF-16BE", "\xFE\xFF", "UTF-16 BE"},
        {"UTF-16LE", "", "UTF-16 LE sin marca de orden de bytes"},
    };
    for (const auto& encoding : encodings) {
        for (const char separator : {',', ';', '\t', '|'}) {
            for (const std::string line_end : {"\n", "\r\n"}) {
                const Export file = payroll_export(separator, line_end);
                const std::string input = encoding.mark + encoded(file.input, encoding.iconv_name);
                const Outcome run = batch(input);
                const std::string context = std::string(encoding.iconv_name) + " mark " +
                                            std::to_string(encoding.mark.size()) + " separator " +
                                            std::to_string(int(separator));
                EXPECT_EQ(run.status, convert::code(convert::ExitStatus::Ok)) << context << run.err;
                EXPECT_EQ(run.out, encoding.mark + encoded(file.output, encoding.iconv_name))
                    << context;
                EXPECT_NE(run.err.find(std::string(encoding.said) + ", separador "),
                          std::string::npos)
                    << context << run.err;
            }
        }
    }
}

// A key written with Ñ and in lower case is read in every encoding, and the
// result comes back in the file's own.
TEST(BatchFiles, KeyColumnInEveryEncoding) {
    const std::string input =
        "Nombre;Paterno;Materno;Fecha;R.F.C.\r\n"
        "JUAN;PEREZ;ÑUÑEZ;1980-01-15;peñj-800115-hb8\r\n"
        "JUAN;PEREZ;ÑUÑEZ;1980-01-15;PEÑJ800115HB0\r\n";
    const std::string output =
        "Nombre;Paterno;Materno;Fecha;R.F.C.;rfc_calculado;resultado\r\n"
        "JUAN;PEREZ;ÑUÑEZ;1980-01-15;peñj-800115-hb8;PEXJ800115HB8;\"coincide salvo la Ñ, que "
        "estas reglas escriben X; es una diferencia conocida de estas reglas, no un error de la "
        "clave\"\r\n"
        "JUAN;PEREZ;ÑUÑEZ;1980-01-15;PEÑJ800115HB0;PEXJ800115HB8;\"coincide salvo la Ñ, que "
        "estas reglas escriben X, y su dígito verificador no corresponde: se esperaba 8; el SAT "
        "ha asignado algunas claves así; confírmela con la constancia de situación fiscal\"\r\n";
    const struct {
        const char* iconv_name;
        std::string mark;
    } encodings[] = {
        {"UTF-8", ""},
        {"WINDOWS-1252", ""},
        {"UTF-16LE", "\xFF\xFE"},
        {"UTF-16BE", "\xFE\xFF"},
    };
    for (const auto& encoding : encodings) {
        const Outcome run = batch(encoding.mark + encoded(input, encoding.iconv_name));
        EXPECT_EQ(run.status, convert::code(convert::ExitStatus::KeyDoubtful))
            << encoding.iconv_name << run.err;
        EXPECT_EQ(run.out, encoding.mark + encoded(output, encoding.iconv_name))
            << encoding.iconv_name;
        EXPECT_TRUE(run.err.ends_with(
            "rfc: 2 filas: 1 coincide, 1 con dígito verificador que no corresponde, 0 "
            "ilegibles\n"))
            << encoding.iconv_name << run.err;
    }
}

// The encoding asked for is the one read, and a byte-order mark of another
// one at the start of the file is told first, for the header may then not
// be found.
TEST(BatchFiles, AByteOrderMarkOtherThanTheEncodingAskedForIsTold) {
    const std::string header = "paterno,materno,nombre,fecha\n";
    const struct {
        std::string mark;
        delimited::EncodingChoice asked;
        std::string told;  // the first line of standard error, when told
    } cases[] = {
        {"\xEF\xBB\xBF", delimited::EncodingChoice::Windows1252,
         "rfc: el archivo empieza con la marca de orden de bytes de UTF-8, pero se lee como "
         "Windows-1252, como pide --encoding\n"},
        {"\xFF\xFE", delimited::EncodingChoice::Utf8,
         "rfc: el archivo empieza con la marca de orden de bytes de UTF-16 LE, pero se lee como "
         "UTF-8, como pide --encoding\n"},
        {"\xEF\xBB\xBF", delimited::EncodingChoice::Utf8, ""},
        {"\xFE\xFF", delimited::EncodingChoice::Utf16, ""},
        {"", delimited::EncodingChoice::Windows1252, ""},
    };
    for (const auto& c : cases) {
        BatchOptions options;
        options.encoding = c.asked;
        const Outcome run = batch(c.mark + header, options);
        const std::string first_line = run.err.substr(0, run.err.find('\n') + 1);
        EXPECT_EQ(first_line.starts_with("rfc: el archivo empieza") ? first_line : "", c.told)
            << run.err;
    }
}

TEST(BatchFiles, ColumnsFoundAreSaidOnceAndSummed) {
    const Export file = payroll_export(',', "\r\n");
    const Outcome run = batch(encoded(file.input, "WINDOWS-1252"));
    EXPECT_EQ(run.err,
              "rfc: Windows-1252, separador «,», encabezado: paterno = «Apellido Paterno» (col. "
              "3), materno = «Apellido Materno» (col. 4), nombre = «Nombre(s)» (col. 2), fecha = "
              "«Fecha de Nacimiento» (col. 5)\n"
              "rfc: 3 filas: 2 con clave, 1 sin clave (1 por acentos: vea --fold-accents), 0 "
              "ilegibles\n");
}

TEST(BatchFiles, HeaderMistakesStopBeforeAnyRowIsWritten) {
    for (const std::string header :
         {"paterno,materno,fecha", "paterno,Paterno,materno,nombre,fecha",
          "RFC,paterno,materno,nombre,fecha,R.F.C."}) {
        const Outcome run = batch(header + "\nPEREZ,LOPEZ,1980-01-15\n");
        EXPECT_EQ(run.status, convert::code(convert::ExitStatus::Usage)) << header;
        EXPECT_EQ(run.out, "") << header;
        EXPECT_NE(run.err.find("el encabezado"), std::string::npos) << run.err;
    }
}

// --- Hostile input -------------------------------------------------------

// A run of quotes, doubled quotes or carriage returns far past the row bound
// is passed through in pieces, unchanged, with its reason; it is never a
// header.
TEST(BatchHostile, LongRunsPassThroughUnchanged) {
    const std::string run(1 << 20, '"');
    const std::string crs(1 << 20, '\r');
    const struct {
        const char* name;
        std::string row;
        std::string reason;  // the first problem found in the row
    } cases[] = {
        {"quotes", "A,B,C,D" + run, "comilla dentro de un campo sin comillas"},
        {"doubled quotes in quotes", "A,\"" + run + "\",C,D", "fila demasiado larga"},
        {"carriage returns", "A,B,C,D" + crs + "X", "fila demasiado larga"},
    };
    // After a first line that ends in LF, so that the lone CRs are not line
    // ends.
    const std::string header = "paterno,materno,nombre,fecha\n";
    for (const auto& c : cases) {
        const std::string input = header + c.row + "\nPEREZ,LOPEZ,JUAN,1980-01-15\n";
        const Outcome result = batch(input);
        EXPECT_EQ(result.status, convert::code(convert::ExitStatus::UnreadableRows)) << c.name;
        // Not printed when they differ: a megabyte of quotes says nothing.
        EXPECT_TRUE(result.out == "paterno,materno,nombre,fecha,rfc,resultado\n" + c.row +
                                      ",,fila ilegible: " + c.reason + "\n" +
                                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n")
            << c.name;
    }
}

// A first field that starts with U+FEFF comes out as it came, so that the
// output, read again, does not take it for a byte-order mark; at the edge of
// a name it is a space nobody sees, and the name has its key.
TEST(BatchHostile, LeadingZeroWidthNoBreakSpaceReadsBackAsItself) {
    const std::string added = ",PELJ8001152A0,ok";
    for (const std::string row : {"\"\xEF\xBB\xBFPEREZ\",LOPEZ,JUAN,1980-01-15",
                                  "\xEF\xBB\xBF\xEF\xBB\xBFPEREZ,LOPEZ,JUAN,1980-01-15"}) {
        const Outcome first = batch(row + "\n");
        EXPECT_TRUE(first.out.starts_with(row + added)) << first.out;
        const Outcome again = batch(first.out, [] {
            BatchOptions options;
            options.columns[0] = std::size_t{1};
            options.columns[1] = std::size_t{2};
            options.columns[2] = std::size_t{3};
            options.columns[3] = std::size_t{4};
            return options;
        }());
        EXPECT_TRUE(again.out.starts_with(first.out.substr(0, first.out.size() - 1) + added))
            << again.out;
    }
}

TEST(BatchHostile, Utf8WithAnInvalidByteLaterStaysUtf8) {
    std::string input;
    while (input.size() < (std::size_t{128} << 10)) input += "PEREZ,LOPEZ,JUAN,1980-01-15\n";
    input += "P\xC9REZ,LOPEZ,JUAN,1980-01-15\n";
    const Outcome run = batch(input);
    EXPECT_EQ(run.status, convert::code(convert::ExitStatus::UnreadableRows));
    EXPECT_TRUE(
        run.out.ends_with("P\xC9REZ,LOPEZ,JUAN,1980-01-15,,fila ilegible: el campo 1 no es "
                          "UTF-8 válido (¿el archivo es Windows-1252? léalo con --encoding "
                          "windows-1252)\n"));
}

class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& text) {
        char name[] = "/tmp/rfc-batch-test-XXXXXX";
        const int fd = ::mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
        path_ = name;
    }
    ~TemporaryFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }
    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

  private:
    std::string path_;
};

// rfc batch f.csv >> f.csv would read its own output for ever.
TEST(BatchHostile, OutputToTheInputFileIsRefused) {
    const std::string text = "PEREZ,LOPEZ,JUAN,1980-01-15\n";
    TemporaryFile file(text);
    const int fd = ::open(file.path().c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    delimited::FdSink out(fd);
    delimited::StringSource no_input("");
    delimited::StringSink err;
    Console console{no_input, out, err};
    const std::vector<std::string_view> args{"--", file.path()};
    EXPECT_EQ(run_batch_command(args, console), convert::ExitStatus::Usage);
    ::close(fd);
    EXPECT_EQ(file.text(), text);
    EXPECT_NE(err.text().find("la salida es el mismo archivo que la entrada"), std::string::npos)
        << err.text();
}

TEST(BatchCommand, FileAfterDoubleDash) {
    TemporaryFile file("PEREZ,LOPEZ,JUAN,1980-01-15\n");
    delimited::StringSource no_input("");
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{no_input, out, err};
    const std::vector<std::string_view> args{"--fold-accents", "--", file.path()};
    EXPECT_EQ(run_batch_command(args, console), convert::ExitStatus::Ok) << err.text();
    EXPECT_EQ(out.text(), "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n");
}

TEST(BatchCommand, OptionsAndTheirMistakes) {
    const struct {
        std::vector<std::string_view> args;
        convert::ExitStatus status;
    } cases[] = {
        {{"--delimiter", ";", "--encoding=utf-8", "--columns",
          "paterno=1,materno=2,nombre=3,fecha=4", "-"},
         convert::ExitStatus::Ok},
        {{"--delimiter"}, convert::ExitStatus::Usage},
        {{"--delimiter", ";;"}, convert::ExitStatus::Usage},
        {{"--delimiter", "P"}, convert::ExitStatus::Usage},
        {{"--delimiter=7"}, convert::ExitStatus::Usage},
        {{"--delimiter", "\x80"}, convert::ExitStatus::Usage},
        {{"--columns", ""}, convert::ExitStatus::Usage},
        {{"--columns="}, convert::ExitStatus::Usage},
        {{"--encoding", "latin-9"}, convert::ExitStatus::Usage},
        {{"--columns", "paterno=0"}, convert::ExitStatus::Usage},
        {{"--threads", "2"}, convert::ExitStatus::Usage},
        {{"a.csv", "b.csv"}, convert::ExitStatus::Usage},
    };
    for (const auto& c : cases) {
        delimited::StringSource in("PEREZ;LOPEZ;JUAN;1980-01-15\n");
        delimited::StringSink out;
        delimited::StringSink err;
        Console console{in, out, err};
        EXPECT_EQ(run_batch_command(c.args, console), c.status) << err.text();
    }
}

// A pipe in non-blocking mode: reads and writes wait instead of failing with
// EAGAIN.
TEST(BatchHostile, NonBlockingPipesAreWaitedFor) {
    int input[2];
    int output[2];
    ASSERT_EQ(::pipe(input), 0);
    ASSERT_EQ(::pipe(output), 0);
    ::fcntl(input[0], F_SETFL, ::fcntl(input[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(output[1], F_SETFL, ::fcntl(output[1], F_GETFL) | O_NONBLOCK);
    constexpr int rows = 20000;  // more output than a pipe holds
    std::thread writer([&] {
        const std::string row = "PEREZ,LOPEZ,JUAN,1980-01-15\n";
        for (int i = 0; i < rows; ++i) {
            if (i % 5000 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ASSERT_EQ(::write(input[1], row.data(), row.size()), ssize_t(row.size()));
        }
        ::close(input[1]);
    });
    std::string written;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(output[0], buffer, sizeof buffer)) > 0) written.append(buffer, n);
    });
    delimited::FdSource in(input[0]);
    delimited::FdSink out(output[1]);
    delimited::StringSink err;
    Console console{in, out, err};
    const int status = convert::code(run_batch(in, BatchOptions{}, console));
    ::close(output[1]);
    writer.join();
    reader.join();
    ::close(input[0]);
    ::close(output[0]);
    EXPECT_EQ(status, convert::code(convert::ExitStatus::Ok)) << err.text();
    EXPECT_EQ(written.size(),
              rows * std::string("PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n").size());
}

// Input that comes in three parts with a pause, so that the progress line
// shows in between.
class SlowSource final : public delimited::ByteSource {
  public:
    explicit SlowSource(std::vector<std::string> parts) : parts_(std::move(parts)) {}
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        count = 0;
        if (next_ == parts_.size()) return {};
        if (next_ == 1) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        const std::string& part = parts_[next_++];
        count = std::min(part.size(), buffer.size());
        std::copy_n(part.data(), count, buffer.data());
        return {};
    }
    bool ready() override { return false; }
    // Typed at the terminal the output goes to.
    bool interactive() const override { return true; }

  private:
    std::vector<std::string> parts_;
    std::size_t next_ = 0;
};

// Output and progress on one terminal: no row starts on the progress line.
TEST(BatchHostile, ProgressLineClearedBeforeRowsOnTheSameTerminal) {
    const std::string row = "PEREZ,LOPEZ,JUAN,1980-01-15\n";
    std::string part;
    for (int i = 0; i < 100; ++i) part += row;
    SlowSource in({part, part, part});
    delimited::StringSink terminal;
    Console console{in, terminal, terminal, true, true};
    BatchOptions options;
    options.threads = 0;
    ASSERT_EQ(run_batch(in, options, console), convert::ExitStatus::Ok);
    const std::string& text = terminal.text();
    ASSERT_NE(text.find("filas/s"), std::string::npos) << "the progress line never showed";
    for (std::size_t at = text.find("PEREZ"); at != std::string::npos;
         at = text.find("PEREZ", at + 1)) {
        ASSERT_TRUE(at == 0 || text[at - 1] == '\n' || text.substr(0, at).ends_with("\033[K"))
            << "a row after: " << text.substr(at > 40 ? at - 40 : 0, 40);
    }
}

}  // namespace
}  // namespace rfc_cli

namespace rfc_cli {
namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The three kinds of office file give the keys their .keys files hold, one
// for each data row, none where the row gets none.
TEST(BatchFiles, SamplePayrollFilesGiveTheirKeys) {
    const struct {
        const char* file;
        std::vector<std::string_view> options;
        const char* from;  // the output's encoding, for iconv
        char separator;
        convert::ExitStatus status;
    } samples[] = {
        {"nomina-excel.csv", {"--fold-accents"}, "WINDOWS-1252", ',', convert::ExitStatus::Ok},
        {"trabajadores-unicode.txt", {}, "UTF-16", '\t', convert::ExitStatus::Ok},
        // One of the keys it holds has a date that does not exist.
        {"empleados-rfc.csv", {"--fold-accents"}, "UTF-8", ';', convert::ExitStatus::KeyWrong},
    };
    for (const auto& sample : samples) {
        const std::string path = std::string(RFC_TEST_DATA) + "/" + sample.file;
        std::vector<std::string_view> args = sample.options;
        args.push_back(path);
        delimited::StringSource no_input("");
        delimited::StringSink out;
        delimited::StringSink err;
        Console console{no_input, out, err};
        EXPECT_EQ(run_batch_command(args, console), sample.status) << err.text();

        iconv_t convert = ::iconv_open("UTF-8", sample.from);
        std::string utf8(out.text().size() * 2, '\0');
        char* in_bytes = const_cast<char*>(out.text().data());
        std::size_t in_left = out.text().size();
        char* out_bytes = utf8.data();
        std::size_t out_left = utf8.size();
        ASSERT_NE(::iconv(convert, &in_bytes, &in_left, &out_bytes, &out_left), std::size_t(-1));
        ::iconv_close(convert);
        utf8.resize(utf8.size() - out_left);

        delimited::StringSource text(utf8);
        delimited::CsvReader reader(text, sample.separator);
        delimited::CsvRecord record;
        std::vector<std::string> keys;
        ASSERT_TRUE(reader.next(record));  // the header
        while (reader.next(record)) keys.emplace_back(record.field(record.field_count() - 2));
        const std::string keys_file = path.substr(0, path.rfind('.')) + ".keys";
        EXPECT_EQ(keys, lines_of(read_file(keys_file))) << sample.file;
    }
}

// The office's own keys against the computed ones: rfc_calculado is the
// computed key, and resultado says how the office's differs, when it does.
TEST(BatchFiles, SampleKeysAreCheckedAgainstTheComputedOnes) {
    const std::string path = std::string(RFC_TEST_DATA) + "/empleados-rfc.csv";
    const std::vector<std::string_view> args{"--fold-accents", path};
    delimited::StringSource no_input("");
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{no_input, out, err};
    EXPECT_EQ(run_batch_command(args, console), convert::ExitStatus::KeyWrong);

    const std::string other_homoclave =
        "coincide salvo la homoclave; el SAT asigna otra homoclave a homónimos";
    // By employee number, the rows whose key is not the computed one.
    const std::map<std::string, std::string> differing = {
        {"1005", other_homoclave},
        {"1009", other_homoclave},
        {"1015", other_homoclave},
        {"1021", "no es una clave: «991399» no es una fecha"},
        {"1022", other_homoclave},
        {"1026",
         "sin clave: el carácter U+002E «.» en la posición 3 del nombre no tiene valor "
         "en la tabla"},
        {"1027", other_homoclave},
    };
    const std::vector<std::string> keys = lines_of(read_file(RFC_TEST_DATA "/empleados-rfc.keys"));
    delimited::StringSource text(out.text());
    delimited::CsvReader reader(text, ';');
    delimited::CsvRecord record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_TRUE(record.bytes().ends_with(";RFC;rfc_calculado;resultado")) << record.bytes();
    std::size_t row = 0;
    for (; reader.next(record); ++row) {
        ASSERT_EQ(record.field_count(), 8u);
        ASSERT_LT(row, keys.size());
        const std::string number(record.field(0));
        EXPECT_EQ(record.field(6), keys[row]) << number;
        const auto found = differing.find(number);
        EXPECT_EQ(record.field(7), found == differing.end() ? "coincide" : found->second) << number;
    }
    EXPECT_EQ(row, keys.size());
    EXPECT_TRUE(err.text().find(", rfc = «RFC» (col. 6)\n") != std::string::npos) << err.text();
    EXPECT_TRUE(err.text().ends_with(
        ": 30 filas: 23 coinciden, 5 con otra homoclave, 1 no es clave, 1 sin clave calculada (1 "
        "por caracteres sin valor en la tabla), 0 ilegibles\n"))
        << err.text();
}

}  // namespace
}  // namespace rfc_cli
