// The engine as plain WebAssembly exports, so that its JavaScript side needs
// no binding library: conversions only. What each call answers is engine.h's;
// web/module/api.js puts arguments into shape and reads the answers.
//
// Every call takes its arguments from one buffer and leaves its answers in
// another, both lists of byte strings, each a 32-bit little-endian length and
// its bytes. Texts are UTF-8, except upperCase's, which are UTF-16LE code
// units, so that any JavaScript string, lone surrogates too, goes through
// unchanged. api.js writes the arguments into engine_arguments(size) and
// reads engine_answers() and engine_answers_size() after the call. The values
// behind an answer (why there is no key, a check's verdict) come as one JSON
// text of codes, which api.js parses: each C++ enumerator has its code here,
// in lowerCamelCase ("uncodedCharacter" for FailureReason::UncodedCharacter).
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "birth_date.h"
#include "digits.h"
#include "engine.h"
#include "exit_status.h"
#include "outcome_words.h"
#include "window_texts.h"

// The batch's input, output and messages, which library.js hands to the
// callbacks that api.js gives it for the run.
extern "C" {
// Copies at most `capacity` bytes of input to `buffer`: how many, 0 at the
// end, or -1 when reading failed.
int claverfc_read(char* buffer, std::size_t capacity);
// The same, for a batch that may wait for its input: api.js wraps it so that
// the engine waits for JavaScript's promise (WebAssembly.Suspending).
int claverfc_read_waiting(char* buffer, std::size_t capacity);
// Whether all of `size` bytes were written.
int claverfc_write(const char* bytes, std::size_t size);
void claverfc_message(const char* line, std::size_t size);
// A row not read: its line, why as a JSON text of codes, and why in words.
void claverfc_problem(double line, const char* reason, std::size_t reason_size, const char* text,
                      std::size_t text_size);
// A workbook's sheets, as a list of names in the answers' form, and the
// place of the one read.
void claverfc_sheets(const char* list, std::size_t size, std::size_t chosen);
// How far through a workbook the batch is: `done` of `total`.
void claverfc_progress(double done, double total);
// Fills all `size` bytes of `buffer` with the input's from `offset`: whether it did.
int claverfc_read_at(double offset, char* buffer, std::size_t size);
}

namespace {

std::string arguments;
std::string answers;

std::vector<std::string_view> unpack(std::size_t count) {
    std::vector<std::string_view> list;
    std::string_view rest = arguments;
    for (; count > 0 && rest.size() >= 4; --count) {
        std::uint32_t size = 0;
        std::memcpy(&size, rest.data(), 4);  // WebAssembly is little-endian
        rest.remove_prefix(4);
        list.push_back(rest.substr(0, size));
        rest.remove_prefix(list.back().size());
    }
    list.resize(list.size() + count);  // a list cut short gives empty texts
    return list;
}

void append_listed(std::string& list, std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    list.append(reinterpret_cast<const char*>(&size), 4).append(text);
}

void answer(std::string_view text) { append_listed(answers, text); }

web_engine::Person person_of(const std::vector<std::string_view>& list, std::size_t from) {
    return {std::string(list[from]), std::string(list[from + 1]), std::string(list[from + 2]),
            std::string(list[from + 3]), !list[from + 4].empty()};
}

std::string_view outcome_name(web_engine::KeyOutcome outcome) {
    switch (outcome) {
        case web_engine::KeyOutcome::Key:
            return "key";
        case web_engine::KeyOutcome::Empty:
            return "empty";
        case web_engine::KeyOutcome::None:
            break;
    }
    return "none";
}

// --- Codes of the values, as JavaScript reads them ---------------------------

std::string_view code(keycalc::RefusalTest test) {
    using keycalc::RefusalTest;
    switch (test) {
        case RefusalTest::GivenNamesBlank:
            return "givenNamesBlank";
        case RefusalTest::SurnamesBlank:
            return "surnamesBlank";
        case RefusalTest::DateInvalid:
            break;
    }
    return "dateInvalid";
}

std::string_view code(keycalc::FailureReason reason) {
    using keycalc::FailureReason;
    switch (reason) {
        case FailureReason::UncodedCharacter:
            return "uncodedCharacter";
        case FailureReason::SumBelow100:
            return "sumBelow100";
        case FailureReason::SumOverflow:
            return "sumOverflow";
        case FailureReason::VowelPositionOverflow:
            break;
    }
    return "vowelPositionOverflow";
}

// The parts by the names of the page's fields.
std::string_view code(keycalc::NamePart part) {
    switch (part) {
        case keycalc::NamePart::Paternal:
            return "paterno";
        case keycalc::NamePart::Maternal:
            return "materno";
        case keycalc::NamePart::Given:
            break;
    }
    return "nombre";
}

std::string_view code(keycalc::DateError error) {
    using keycalc::DateError;
    switch (error) {
        case DateError::NotADate:
            return "notADate";
        case DateError::NoSuchDay:
            return "noSuchDay";
        case DateError::OutOfRange:
            return "outOfRange";
        case DateError::TwoDigitYear:
            return "twoDigitYear";
        case DateError::MonthFirst:
            return "monthFirst";
        case DateError::February29Of1900:
            break;
    }
    return "february29Of1900";
}

std::string_view code(keycalc::CheckVerdict verdict) {
    using keycalc::CheckVerdict;
    switch (verdict) {
        case CheckVerdict::Valid:
            return "valid";
        case CheckVerdict::Agrees:
            return "agrees";
        case CheckVerdict::CheckFails:
            return "checkFails";
        case CheckVerdict::HomoclaveDiffers:
            return "homoclaveDiffers";
        case CheckVerdict::Disagrees:
            return "disagrees";
        case CheckVerdict::NotAKey:
            return "notAKey";
        case CheckVerdict::NoComputedKey:
            return "noComputedKey";
        case CheckVerdict::NotGiven:
            break;
    }
    return "notGiven";
}

std::string_view code(keycalc::KeyFault fault) {
    using keycalc::KeyFault;
    switch (fault) {
        case KeyFault::Length:
            return "length";
        case KeyFault::Letter:
            return "letter";
        case KeyFault::DateDigits:
            return "dateDigits";
        case KeyFault::NoSuchDay:
            return "noSuchDay";
        case KeyFault::Homoclave:
            return "homoclave";
        case KeyFault::CheckSymbol:
            return "checkSymbol";
        case KeyFault::WithoutHomoclave:
            break;
    }
    return "withoutHomoclave";
}

// The exit statuses by name; two names share 1.
constexpr std::pair<std::string_view, convert::ExitStatus> exit_statuses[] = {
    {"ok", convert::ExitStatus::Ok},
    {"noKey", convert::ExitStatus::NoKey},
    {"unreadableRows", convert::ExitStatus::UnreadableRows},
    {"usage", convert::ExitStatus::Usage},
    {"refused", convert::ExitStatus::Refused},
    {"ioError", convert::ExitStatus::IoError},
    {"keyDoubtful", convert::ExitStatus::KeyDoubtful},
    {"keyWrong", convert::ExitStatus::KeyWrong},
};

std::string_view code(delimited::CsvProblem problem) {
    using delimited::CsvProblem;
    switch (problem) {
        case CsvProblem::None:
            return "none";
        case CsvProblem::StrayQuote:
            return "strayQuote";
        case CsvProblem::TextAfterClosingQuote:
            return "textAfterClosingQuote";
        case CsvProblem::UnterminatedQuote:
            return "unterminatedQuote";
        case CsvProblem::TooLong:
            break;
    }
    return "tooLong";
}

std::string_view code(keycalc::CurpError error) {
    return error == keycalc::CurpError::NoSuchDay ? "noSuchDay" : "badShape";
}

std::string_view code(delimited::Encoding encoding) {
    using delimited::Encoding;
    switch (encoding) {
        case Encoding::Utf8:
            return "utf8";
        case Encoding::Windows1252:
            return "windows1252";
        case Encoding::Utf16Le:
            return "utf16Le";
        case Encoding::Utf16Be:
            break;
    }
    return "utf16Be";
}

std::string_view code(convert::RowFault fault) {
    using convert::RowFault;
    switch (fault) {
        case RowFault::BadRecord:
            return "badRecord";
        case RowFault::FieldCount:
            return "fieldCount";
        case RowFault::InvalidText:
            return "invalidText";
        case RowFault::NoDate:
            return "noDate";
        case RowFault::BadDate:
            return "badDate";
        case RowFault::NoCurp:
            return "noCurp";
        case RowFault::BadCurp:
            return "badCurp";
        case RowFault::HalfCharacter:
            return "halfCharacter";
        case RowFault::ErrorValue:
            return "errorValue";
        case RowFault::FormulaWithoutValue:
            return "formulaWithoutValue";
        case RowFault::MissingString:
            break;
    }
    return "missingString";
}

std::string_view code(convert::RowOutcome outcome) {
    using convert::RowOutcome;
    switch (outcome) {
        case RowOutcome::Key:
            return "key";
        case RowOutcome::Refused:
            return "refused";
        case RowOutcome::Accents:
            return "accents";
        case RowOutcome::UncodedOther:
            return "uncodedOther";
        case RowOutcome::HomoclaveFault:
            return "homoclaveFault";
        case RowOutcome::Unreadable:
            break;
    }
    return "unreadable";
}

// A JSON object written member by member: names and codes are ASCII
// identifiers and need no escapes.
class JsonObject {
  public:
    JsonObject& code(std::string_view name, std::string_view ascii) {
        raw(name, "\"").append(ascii).push_back('"');
        return *this;
    }
    JsonObject& number(std::string_view name, std::size_t value) {
        raw(name, std::to_string(value));
        return *this;
    }
    JsonObject& boolean(std::string_view name, bool value) {
        raw(name, value ? "true" : "false");
        return *this;
    }
    // Text of any UTF-16 units, lone surrogates too: each one escaped.
    JsonObject& units(std::string_view name, std::u16string_view text) {
        std::string& out = raw(name, "\"");
        for (const char16_t unit : text) {
            out += "\\u";
            words::append_digits(out, unit, 4, words::Hex::Capitals);
        }
        out += '"';
        return *this;
    }
    // An object made before, or null.
    JsonObject& object(std::string_view name, const std::optional<std::string>& json) {
        raw(name, json ? std::string_view(*json) : "null");
        return *this;
    }
    std::string done() const { return text_ + "}"; }

  private:
    std::string& raw(std::string_view name, std::string_view value) {
        text_ += text_.size() > 1 ? ",\"" : "\"";
        return text_.append(name).append("\":").append(value);
    }

    std::string text_ = "{";
};

std::string fault_json(const convert::InputFault& fault) {
    if (const auto* name = std::get_if<convert::NameNotUtf8>(&fault)) {
        return JsonObject().code("kind", "nameNotUtf8").code("part", code(name->part)).done();
    }
    if (const auto* date = std::get_if<convert::UnreadableDate>(&fault)) {
        std::optional<std::string> day;
        if (date->spreadsheet_day) day = '"' + words::date_text(*date->spreadsheet_day) + '"';
        return JsonObject()
            .code("kind", "date")
            .code("dateError", code(date->error))
            .object("spreadsheetDay", day)
            .done();
    }
    return JsonObject().code("kind", "keyNotUtf8").done();
}

// Why `computed` is no key; nothing for a key.
std::optional<std::string> no_key_json(const convert::PersonKey& computed) {
    if (const auto* refused = std::get_if<keycalc::NoKey>(&computed.outcome)) {
        return JsonObject().code("kind", "refused").code("test", code(refused->test)).done();
    }
    const auto* failed = std::get_if<keycalc::EmptyKey>(&computed.outcome);
    if (!failed) return std::nullopt;
    std::optional<std::string> character;
    if (const auto& uncoded = computed.uncoded) {
        character = JsonObject()
                        .code("part", code(uncoded->part))
                        .units("text", uncoded->units)
                        .number("codePoint", uncoded->code_point)
                        .number("position", uncoded->position)
                        .done();
    }
    return JsonObject()
        .code("kind", "failed")
        .code("failure", code(failed->reason))
        .object("character", character)
        .boolean("foldingHelps", computed.folding_helps)
        .done();
}

std::optional<std::string> reason_json(const std::optional<convert::InputFault>& fault,
                                       const convert::PersonKey& computed) {
    return fault ? fault_json(*fault) : no_key_json(computed);
}

std::string check_json(const web_engine::CheckAnswer& verdict) {
    if (!verdict.check) {
        return JsonObject()
            .object("verdict", std::nullopt)
            .object("notAKey", std::nullopt)
            .object("reason", fault_json(*verdict.fault))
            .done();
    }
    const convert::HeldKeyCheck& check = *verdict.check;
    std::optional<std::string> not_a_key;
    if (const auto* fault = std::get_if<keycalc::NotAKey>(&check.examination.verdict)) {
        not_a_key = JsonObject()
                        .code("fault", code(fault->fault))
                        .number("position", fault->position)
                        .number("length", check.examination.length)
                        .done();
    }
    const bool no_computed_key = check.held.verdict == keycalc::CheckVerdict::NoComputedKey;
    return JsonObject()
        .code("verdict", code(check.held.verdict))
        .object("notAKey", not_a_key)
        .object("reason", no_computed_key ? no_key_json(check.computed) : std::nullopt)
        .done();
}

// The input read at any offset, when JavaScript can (io.readAt).
class JsRandomAccess final : public delimited::RandomAccess {
  public:
    explicit JsRandomAccess(std::uint64_t size) : size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::error_code read_at(std::uint64_t offset, std::span<char> buffer) override {
        if (offset > size_ || buffer.size() > size_ - offset ||
            !claverfc_read_at(static_cast<double>(offset), buffer.data(), buffer.size())) {
            return std::make_error_code(std::errc::io_error);
        }
        return {};
    }

  private:
    std::uint64_t size_;
};

// The input, and its size when JavaScript knows it (a File's, say): a
// workbook is then read at offsets when JavaScript can, or else held whole
// in one block of its size.
class JsSource final : public delimited::ByteSource {
  public:
    // `size` is believed for the block a workbook is held in only up to
    // `most_held`; read at offsets, a workbook is never held.
    JsSource(bool waits, std::optional<std::uint64_t> size, bool reads_at) : waits_(waits) {
        constexpr std::uint64_t most_held = std::uint64_t{1} << 30;
        if (size && *size <= most_held) size_ = static_cast<std::size_t>(*size);
        if (size && reads_at) random_.emplace(*size);
    }
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        const int got = waits_ ? claverfc_read_waiting(buffer.data(), buffer.size())
                               : claverfc_read(buffer.data(), buffer.size());
        count = got > 0 ? static_cast<std::size_t>(got) : 0;
        read_ += count;
        return got < 0 ? std::make_error_code(std::errc::io_error) : std::error_code{};
    }
    std::optional<std::size_t> bytes_left() const override {
        if (!size_ || *size_ < read_) return std::nullopt;
        return *size_ - read_;
    }
    delimited::RandomAccess* random_access() override { return random_ ? &*random_ : nullptr; }

  private:
    bool waits_;
    std::optional<std::size_t> size_;
    std::optional<JsRandomAccess> random_;
    std::size_t read_ = 0;
};

class JsSink final : public delimited::ByteSink {
  public:
    std::error_code write_all(std::string_view bytes) override {
        if (bytes.empty() || claverfc_write(bytes.data(), bytes.size())) return {};
        return std::make_error_code(std::errc::io_error);
    }
};

// An option given (a "1" before it) or left out.
std::optional<std::string> option_of(const std::vector<std::string_view>& list, std::size_t at) {
    if (list[at].empty()) return std::nullopt;
    return std::string(list[at + 1]);
}

// Why a row was not read, with what tells it apart.
std::string row_reason_json(const convert::RowReason& reason) {
    using convert::RowFault;
    JsonObject json;
    json.code("code", code(reason.fault));
    switch (reason.fault) {
        case RowFault::BadRecord:
            json.code("record", code(reason.record))
                .boolean("halfCharacter", reason.half_character)
                .boolean("tooLongFirst", reason.too_long_first);
            break;
        case RowFault::FieldCount:
            json.number("fields", reason.count);
            break;
        case RowFault::InvalidText:
            json.number("column", reason.column + 1)
                .code("encoding", code(reason.encoding))
                .boolean("guessed", reason.guessed);
            break;
        case RowFault::BadDate:
            json.code("dateError", code(reason.date));
            break;
        case RowFault::BadCurp:
            json.code("curpError", code(reason.curp));
            break;
        case RowFault::ErrorValue:
        case RowFault::FormulaWithoutValue:
        case RowFault::MissingString:
            json.number("column", reason.column + 1);
            break;
        case RowFault::NoDate:
        case RowFault::NoCurp:
        case RowFault::HalfCharacter:
            break;
    }
    return json.done();
}

// What became of the rows: each counted once, by its held key's verdict when
// it was compared with a computed key, or else by its computation's outcome.
std::string counts_json(const convert::RowTally& tally, bool checks_keys) {
    JsonObject outcomes;
    for (std::size_t i = 0; i < convert::outcome_count; ++i) {
        const auto outcome = static_cast<convert::RowOutcome>(i);
        outcomes.number(code(outcome), tally.of(outcome));
    }
    JsonObject checks;
    for (std::size_t i = 0; i < keycalc::verdict_count; ++i) {
        const auto verdict = static_cast<keycalc::CheckVerdict>(i);
        checks.number(code(verdict), tally.of(verdict));
    }
    return JsonObject()
        .number("rows", tally.rows())
        .boolean("checksKeys", checks_keys)
        .object("outcomes", outcomes.done())
        .object("checks", checks.done())
        .done();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE char* engine_arguments(std::size_t size) {
    arguments.resize(size);
    return arguments.data();
}
EMSCRIPTEN_KEEPALIVE const char* engine_answers() { return answers.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t engine_answers_size() { return answers.size(); }

// The typed text's UTF-16LE units -> the same, upper-cased.
EMSCRIPTEN_KEEPALIVE void engine_upper_case() {
    const std::string_view bytes = unpack(1)[0];
    std::u16string typed(bytes.size() / 2, u'\0');
    std::memcpy(typed.data(), bytes.data(), typed.size() * 2);
    const std::u16string upper = web_engine::upper_case(typed);
    answers.clear();
    answer({reinterpret_cast<const char*>(upper.data()), upper.size() * 2});
}

// paterno, materno, nombre, fecha, fold accents (non-empty for yes) ->
// the exit status; outcome, key, masked key, message, and why there is no
// key (JSON, null for a key).
EMSCRIPTEN_KEEPALIVE int engine_compute_key() {
    const web_engine::KeyAnswer given = web_engine::compute_key(person_of(unpack(5), 0));
    answers.clear();
    answer(outcome_name(given.outcome));
    answer(given.key);
    answer(given.masked);
    answer(given.message);
    answer(reason_json(given.fault, given.computed).value_or("null"));
    return convert::code(given.status);
}

// The key, and the person (as for engine_compute_key) when `with_person` ->
// the exit status; the verdict's line, and its values (JSON: verdict,
// notAKey, reason).
EMSCRIPTEN_KEEPALIVE int engine_check_key(int with_person) {
    const std::vector<std::string_view> list = unpack(6);
    const web_engine::Person person = person_of(list, 1);
    const web_engine::CheckAnswer verdict =
        web_engine::check_key(list[0], with_person ? &person : nullptr);
    answers.clear();
    answer(verdict.text);
    answer(check_json(verdict));
    return convert::code(verdict.status);
}

// The exit statuses by name, as one JSON object.
EMSCRIPTEN_KEEPALIVE void engine_exit_statuses() {
    JsonObject statuses;
    for (const auto& [name, status] : exit_statuses) {
        statuses.number(name, static_cast<std::size_t>(convert::code(status)));
    }
    answers.clear();
    answer(statuses.done());
}

// fold accents, then delimiter, encoding and columns each as a given flag and
// its value, then the file's name, then the sheet as a flag and its value,
// then fill empty -> the exit status; the bytes and messages
// go through the callbacks, the input through claverfc_read_waiting when
// `waits`. `size` is the input's, or negative when it is not known; with
// `reads_at`, the input is also read at offsets through claverfc_read_at.
EMSCRIPTEN_KEEPALIVE int engine_run_batch(int waits, double size, int reads_at) {
    const std::vector<std::string_view> list = unpack(11);
    const web_engine::BatchRequest request{
        !list[0].empty(),     option_of(list, 1), option_of(list, 3), option_of(list, 5),
        std::string(list[7]), option_of(list, 8), !list[10].empty()};
    // A whole number of bytes a file can have (api.js passes -1 for none).
    const bool size_known = size >= 0 && size <= 9007199254740991.0 && size == std::floor(size);
    JsSource input(waits != 0,
                   size_known ? std::optional<std::uint64_t>(static_cast<std::uint64_t>(size))
                              : std::nullopt,
                   reads_at != 0);
    JsSink output;
    std::optional<std::string> counts;
    const web_engine::BatchEvents events{
        [](std::string_view line) { claverfc_message(line.data(), line.size()); },
        [](const convert::ProblemRow& row, std::string_view text) {
            const std::string reason = row_reason_json(row.reason);
            claverfc_problem(static_cast<double>(row.line), reason.data(), reason.size(),
                             text.data(), text.size());
        },
        [&counts](const convert::RowTally& tally, bool checks_keys) {
            counts = counts_json(tally, checks_keys);
        },
        [](const std::vector<std::string>& sheets, std::size_t chosen) {
            std::string list;
            for (const std::string& name : sheets) append_listed(list, name);
            claverfc_sheets(list.data(), list.size(), chosen);
        },
        [](std::uint64_t done, std::uint64_t total) {
            claverfc_progress(static_cast<double>(done), static_cast<double>(total));
        }};
    const convert::ExitStatus status = web_engine::run_batch(input, output, events, request);
    answers.clear();
    answer(counts.value_or("null"));
    return convert::code(status);
}

// The window's texts as pairs of a name (a dotted path, "labels.paterno")
// and its text.
EMSCRIPTEN_KEEPALIVE void engine_texts() {
    namespace shown = words::window_texts;
    answers.clear();
    const auto pair = [](std::string_view name, std::string_view text) {
        answer(name);
        answer(text);
    };
    pair("caption", shown::caption);
    pair("productName", shown::product_name);
    pair("tagline", shown::tagline);
    pair("webAddress", shown::web_address);
    pair("labels.paterno", shown::paterno);
    pair("labels.materno", shown::materno);
    pair("labels.nombre", shown::nombre);
    pair("labels.fecha", shown::fecha);
    pair("labels.rfc", shown::rfc);
    pair("calcular", shown::calcular);
    pair("foldAccentsCheckBox", words::fold_accents_check_box);
    pair("settingLabels.columns", words::page_label(convert::Setting::Columns));
    pair("settingLabels.delimiter", words::page_label(convert::Setting::Delimiter));
    pair("settingLabels.encoding", words::page_label(convert::Setting::Encoding));
    pair("settingLabels.sheet", words::page_label(convert::Setting::Sheet));
    // Days as <input type="date"> writes them: YYYY-MM-DD.
    pair("dateMin", words::date_text(keycalc::supported_birth_dates.first));
    pair("dateMax", words::date_text(keycalc::supported_birth_dates.last));
    pair("dateStart", words::date_text(shown::date_start));
}

EMSCRIPTEN_KEEPALIVE void engine_name_page_controls() { web_engine::name_page_controls(); }

EMSCRIPTEN_KEEPALIVE void engine_version() {
    answers.clear();
    answer(web_engine::version());
}

}  // extern "C"
