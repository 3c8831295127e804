#include "engine.h"

#include <vector>

#include "batch_options.h"
#include "cli.h"
#include "outcome_words.h"
#include "output_mask.h"
#include "upper_case.h"
#include "version.h"

namespace web_engine {
namespace {

using convert::ExitStatus;

// How messages name the options; see name_page_controls.
words::Naming naming = words::Naming::CommandLine;

// "rfc: " starts every line the command line writes on standard error.
constexpr std::string_view message_prefix = "rfc: ";

std::string_view without_prefix(std::string_view line) {
    if (line.starts_with(message_prefix)) line.remove_prefix(message_prefix.size());
    return line;
}

// Standard error cut into lines, each handed on as soon as it is whole, and
// without "rfc: " in front when `without_prefix`.
class LineSink final : public delimited::ByteSink {
  public:
    LineSink(const std::function<void(std::string_view)>& line, bool without_prefix)
        : line_(line), without_prefix_(without_prefix) {}
    std::error_code write_all(std::string_view bytes) override {
        for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
            pending_.append(bytes.substr(0, end));
            hand_on();
            bytes.remove_prefix(end + 1);
        }
        pending_.append(bytes);
        return {};
    }
    ~LineSink() override {
        if (!pending_.empty()) hand_on();
    }
    LineSink(const LineSink&) = delete;
    LineSink& operator=(const LineSink&) = delete;

  private:
    void hand_on() {
        line_(without_prefix_ ? without_prefix(pending_) : std::string_view(pending_));
        pending_.clear();
    }

    const std::function<void(std::string_view)>& line_;
    const bool without_prefix_;
    std::string pending_;
};

struct Captured {
    ExitStatus status;
    std::string out;
    std::string err;
};

// Runs the command line on `args` with no input, keeping what it writes.
Captured run_captured(const std::vector<std::string_view>& args) {
    delimited::StringSource in("");
    delimited::StringSink out;
    delimited::StringSink err;
    rfc_cli::Console console{in, out, err};
    console.naming = naming;
    const ExitStatus status = rfc_cli::run(args, console);
    return {status, out.text(), err.text()};
}

// The first line of `text` without its line end, after "rfc: " when it starts so.
std::string first_line(std::string_view text) {
    return std::string(without_prefix(text.substr(0, text.find('\n'))));
}

// The names and the date, after the options and "--" so that a name that
// starts with "-" is read as a name.
void append_person(std::vector<std::string_view>& args, const Person& person) {
    args.insert(args.end(), {person.paterno, person.materno, person.nombre, person.fecha});
}

std::string masked(std::string_view key) {
    const std::u16string wide(key.begin(), key.end());  // a key is ASCII
    const std::u16string shown = keycalc::apply_output_mask(wide);
    return std::string(shown.begin(), shown.end());
}

}  // namespace

KeyAnswer compute_key(const Person& person) {
    std::vector<std::string_view> args{"key"};
    if (person.fold_accents) args.push_back("--fold-accents");
    args.push_back("--");
    append_person(args, person);
    const Captured run = run_captured(args);

    KeyAnswer answer;
    if (run.status == ExitStatus::Ok) {
        answer.outcome = KeyOutcome::Key;
        answer.key = run.out.substr(0, run.out.find('\n'));
    } else {
        answer.outcome = run.status == ExitStatus::NoKey ? KeyOutcome::Empty : KeyOutcome::None;
        answer.message = first_line(run.err);
    }
    answer.masked = masked(answer.key);
    return answer;
}

CheckAnswer check_key(std::string_view clave, const Person* person) {
    std::vector<std::string_view> args{"check"};
    if (person && person->fold_accents) args.push_back("--fold-accents");
    args.insert(args.end(), {"--", clave});
    if (person) append_person(args, *person);
    const Captured run = run_captured(args);
    return {convert::code(run.status), run.out.empty() ? first_line(run.err) : first_line(run.out)};
}

int run_batch(delimited::ByteSource& input, delimited::ByteSink& output,
              const std::function<void(std::string_view)>& message, const BatchRequest& request) {
    std::vector<std::string_view> args;
    if (request.fold_accents) args.push_back("--fold-accents");
    const std::pair<std::string_view, const std::optional<std::string>&> valued[] = {
        {"--delimiter", request.delimiter},
        {"--encoding", request.encoding},
        {"--columns", request.columns}};
    for (const auto& [option, value] : valued) {
        if (value) args.insert(args.end(), {option, *value});
    }

    delimited::StringSource no_input("");
    // A page shows its messages as its own, not as a program's.
    LineSink err(message, naming == words::Naming::Page);
    rfc_cli::Console console{no_input, output, err};
    console.naming = naming;
    rfc_cli::BatchOptions options;
    std::string file;
    std::string error;
    if (!rfc_cli::parse_batch_options(args, options, file, error, console.naming)) {
        return convert::code(rfc_cli::usage_error(console, error));
    }
    // The page has one thread: the rows are computed where they are read.
    options.threads = 0;
    options.input_name = request.name;
    return convert::code(rfc_cli::run_batch(input, options, console));
}

void name_page_controls() { naming = words::Naming::Page; }

std::u16string upper_case(std::u16string_view text) { return casing::upper_case(text); }

std::string_view version() { return rfc_cli::version; }

}  // namespace web_engine
