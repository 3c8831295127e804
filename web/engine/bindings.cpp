// The engine as plain WebAssembly exports, so that its JavaScript side needs
// no binding library: conversions only. What each call answers is engine.h's;
// web/module/api.js puts arguments into shape and reads the answers.
//
// Every call takes its arguments from one buffer and leaves its answers in
// another, both lists of byte strings, each a 32-bit little-endian length and
// its bytes. Texts are UTF-8, except upperCase's, which are UTF-16LE code
// units, so that any JavaScript string, lone surrogates too, goes through
// unchanged. api.js writes the arguments into engine_arguments(size) and
// reads engine_answers() and engine_answers_size() after the call.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "birth_date.h"
#include "digits.h"
#include "engine.h"
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

void answer(std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size());
    answers.append(reinterpret_cast<const char*>(&size), 4).append(text);
}

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

class JsSource final : public delimited::ByteSource {
  public:
    explicit JsSource(bool waits) : waits_(waits) {}
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        const int got = waits_ ? claverfc_read_waiting(buffer.data(), buffer.size())
                               : claverfc_read(buffer.data(), buffer.size());
        count = got > 0 ? static_cast<std::size_t>(got) : 0;
        return got < 0 ? std::make_error_code(std::errc::io_error) : std::error_code{};
    }

  private:
    bool waits_;
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
// outcome, key, masked key, message.
EMSCRIPTEN_KEEPALIVE void engine_compute_key() {
    const web_engine::KeyAnswer given = web_engine::compute_key(person_of(unpack(5), 0));
    answers.clear();
    answer(outcome_name(given.outcome));
    answer(given.key);
    answer(given.masked);
    answer(given.message);
}

// The key, and the person (as for engine_compute_key) when `with_person` ->
// the exit status, the verdict.
EMSCRIPTEN_KEEPALIVE int engine_check_key(int with_person) {
    const std::vector<std::string_view> list = unpack(6);
    const web_engine::Person person = person_of(list, 1);
    const web_engine::CheckAnswer verdict =
        web_engine::check_key(list[0], with_person ? &person : nullptr);
    answers.clear();
    answer(verdict.text);
    return verdict.status;
}

// fold accents, then delimiter, encoding and columns each as a given flag and
// its value, then the file's name -> the exit status; the bytes and messages
// go through the callbacks, the input through claverfc_read_waiting when
// `waits`.
EMSCRIPTEN_KEEPALIVE int engine_run_batch(int waits) {
    const std::vector<std::string_view> list = unpack(8);
    const web_engine::BatchRequest request{!list[0].empty(), option_of(list, 1), option_of(list, 3),
                                           option_of(list, 5), std::string(list[7])};
    JsSource input(waits != 0);
    JsSink output;
    return web_engine::run_batch(
        input, output,
        [](std::string_view line) { claverfc_message(line.data(), line.size()); }, request);
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
    pair("settingLabels.columns", words::page_label(words::Setting::Columns));
    pair("settingLabels.delimiter", words::page_label(words::Setting::Delimiter));
    pair("settingLabels.encoding", words::page_label(words::Setting::Encoding));
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
