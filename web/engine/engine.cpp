#include "engine.h"

#include <array>
#include <span>
#include <variant>
#include <vector>

#include "batch_options.h"
#include "cli.h"
#include "cli_words.h"
#include "outcome_words.h"
#include "output_mask.h"
#include "upper_case.h"
#include "utf8.h"
#include "verdict_words.h"
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

// The person's four fields, as read_typed_person takes them.
std::array<std::string_view, 4> fields_of(const Person& person) {
    return {person.paterno, person.materno, person.nombre, person.fecha};
}

}  // namespace

KeyAnswer compute_key(const Person& person) {
    KeyAnswer answer;
    const auto read = convert::read_typed_person(fields_of(person), person.fold_accents);
    if (const auto* fault = std::get_if<convert::InputFault>(&read)) {
        answer.status = convert::ExitStatus::Usage;
        answer.message = words::input_fault_text(*fault, person.fecha);
        answer.fault = *fault;
    } else {
        answer.computed =
            convert::key_of(std::get<convert::TypedPerson>(read), person.fold_accents);
        answer.status = convert::key_exit_status(answer.computed.outcome);
        if (answer.status == ExitStatus::Ok) {
            answer.outcome = KeyOutcome::Key;
            answer.key = casing::utf16_to_utf8(keycalc::key_text(answer.computed.outcome));
        } else {
            answer.message = words::no_key_text(answer.computed, naming);
        }
    }
    if (answer.status == ExitStatus::NoKey) answer.outcome = KeyOutcome::Empty;
    answer.masked = casing::utf16_to_utf8(
        keycalc::apply_output_mask(keycalc::key_text(answer.computed.outcome)));
    return answer;
}

CheckAnswer check_key(std::string_view clave, const Person* person) {
    std::array<std::string_view, 4> fields{};
    std::optional<std::span<const std::string_view, 4>> person_fields;
    if (person) person_fields.emplace(fields = fields_of(*person));
    const auto checked = convert::check_held_key(
        clave, person_fields, person && person->fold_accents, convert::current_year());
    CheckAnswer answer;
    if (const auto* fault = std::get_if<convert::InputFault>(&checked)) {
        answer.status = ExitStatus::Usage;
        answer.text = words::input_fault_text(*fault, fields[3]);
        answer.fault = *fault;
        return answer;
    }
    const auto& check = std::get<convert::HeldKeyCheck>(checked);
    answer.status = check.status;
    answer.text = words::held_key_check_line(check, clave, naming);
    answer.check = check;
    return answer;
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
