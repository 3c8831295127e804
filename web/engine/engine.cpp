#include "engine.h"

#include <array>
#include <span>
#include <variant>
#include <vector>

#include "cli_words.h"
#include "column_words.h"
#include "conversion_words.h"
#include "options.h"
#include "outcome_words.h"
#include "output_mask.h"
#include "row_words.h"
#include "upper_case.h"
#include "utf8.h"
#include "verdict_words.h"
#include "version.h"

namespace web_engine {
namespace {

using convert::ExitStatus;

// How messages name the options; see name_page_controls.
words::Naming naming = words::Naming::CommandLine;

// A batch's messages as `rfc batch` writes them, a line at a time, each
// row's also as a value; the page shows its messages as its own, not as a
// program's, without "rfc: ".
class BatchMessages final : public words::MessageSink {
  public:
    explicit BatchMessages(const BatchEvents& events) : events_(events) {}

    void message(std::string_view text) override {
        if (naming == words::Naming::Page) return events_.message(text);
        line_.assign("rfc: ").append(text);
        events_.message(line_);
    }
    void row_message(const convert::ProblemRow& row, std::string_view text,
                     std::string_view why) override {
        if (events_.problem) events_.problem(row, why);
        message(text);
    }
    void counted(const convert::RowTally& tally, bool checks_keys) override {
        if (events_.counted) events_.counted(tally, checks_keys);
    }
    // Only sheets with cells can be chosen; chart sheets are left out.
    void sheets_listed(const std::vector<convert::SheetEntry>& sheets,
                       const convert::SheetEntry& chosen) override {
        if (!events_.sheets) return;
        std::vector<std::string> names;
        std::size_t place = 0;
        for (const convert::SheetEntry& sheet : sheets) {
            if (!sheet.worksheet) continue;
            if (&sheet == &chosen) place = names.size();
            names.push_back(sheet.name);
        }
        events_.sheets(names, place);
    }
    void workbook_progress(std::uint64_t done, std::uint64_t total) override {
        if (events_.progress) events_.progress(done, total);
    }

  private:
    const BatchEvents& events_;
    std::string line_;
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

convert::ExitStatus run_batch(delimited::ByteSource& input, delimited::ByteSink& output,
                              const BatchEvents& events, const BatchRequest& request) {
    BatchMessages messages(events);
    convert::ConversionOptions options;
    options.fold_accents = request.fold_accents;
    options.fill_empty = request.fill_empty;
    // The page has one thread: the rows are computed where they are read.
    options.threads = 0;
    // In the order rfc batch is given them, so that the first mistake is told.
    const std::pair<convert::Setting, const std::optional<std::string>&> settings[] = {
        {convert::Setting::Delimiter, request.delimiter},
        {convert::Setting::Encoding, request.encoding},
        {convert::Setting::Columns, request.columns},
        {convert::Setting::Sheet, request.sheet}};
    for (const auto& [setting, value] : settings) {
        convert::SettingProblem problem;
        if (value && !convert::apply_setting(setting, *value, options, problem)) {
            messages.message(words::setting_problem_text(problem, naming));
            // A page has no --help to point to: its controls say what they take.
            if (naming == words::Naming::CommandLine) events.message(words::help_hint_text);
            return ExitStatus::Usage;
        }
    }
    words::ConversionWords report(messages, request.name, naming);
    return convert::convert_file(input, output, options, words::cell_words(), report);
}

void name_page_controls() { naming = words::Naming::Page; }

std::u16string upper_case(std::u16string_view text) { return casing::upper_case(text); }

std::string_view version() { return rfc_cli::version; }

}  // namespace web_engine
