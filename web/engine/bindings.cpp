// The engine as Embind shows it to JavaScript: conversions only. The
// JavaScript face that people use, with its argument checks, is
// web/module/api.js; what each call answers is engine.h's.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <chrono>
#include <string>
#include <utility>

#include "birth_date.h"
#include "digits.h"
#include "engine.h"
#include "outcome_words.h"
#include "window_texts.h"

namespace {

using emscripten::val;

// Bytes come from JavaScript in slices of this size: a slice costs one call
// across, so large ones make the calls' cost vanish beside the rows'.
constexpr std::size_t slice_bytes = std::size_t{1} << 20;

val text(std::string_view utf8) { return val(std::string(utf8)); }

val object(std::initializer_list<std::pair<const char*, val>> members) {
    val result = val::object();
    for (const auto& [name, value] : members) result.set(name, value);
    return result;
}

// Reads what `read(maxBytes)` returns: a Uint8Array, empty at the end, or
// null when reading failed.
class JsSource final : public delimited::ByteSource {
  public:
    explicit JsSource(val read) : read_(std::move(read)) {}

    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        count = 0;
        if (at_ == slice_.size() && !ended_) {
            const val bytes = read_(slice_bytes);
            if (bytes.isNull()) return std::make_error_code(std::errc::io_error);
            slice_.resize(bytes["length"].as<std::size_t>());
            val(emscripten::typed_memory_view(slice_.size(),
                                              reinterpret_cast<unsigned char*>(slice_.data())))
                .call<void>("set", bytes);
            at_ = 0;
            ended_ = slice_.empty();
        }
        count = std::min(buffer.size(), slice_.size() - at_);
        slice_.copy(buffer.data(), count, at_);
        at_ += count;
        return {};
    }

  private:
    val read_;
    std::string slice_;
    std::size_t at_ = 0;
    bool ended_ = false;
};

// Hands each write to `write(view)` as a view into this module's memory,
// which `write` copies; it returns false when writing failed.
class JsSink final : public delimited::ByteSink {
  public:
    explicit JsSink(val write) : write_(std::move(write)) {}

    std::error_code write_all(std::string_view bytes) override {
        if (bytes.empty()) return {};
        const val view(emscripten::typed_memory_view(
            bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())));
        if (!write_(view).as<bool>()) return std::make_error_code(std::errc::io_error);
        return {};
    }

  private:
    val write_;
};

web_engine::Person person_of(const val& person) {
    return {person["paterno"].as<std::string>(), person["materno"].as<std::string>(),
            person["nombre"].as<std::string>(), person["fecha"].as<std::string>(),
            person["foldAccents"].as<bool>()};
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

val compute_key(const val& person) {
    const web_engine::KeyAnswer answer = web_engine::compute_key(person_of(person));
    return object({{"outcome", text(outcome_name(answer.outcome))},
                   {"key", text(answer.key)},
                   {"masked", text(answer.masked)},
                   {"message", text(answer.message)}});
}

// `person` is null to check the key alone.
val check_key(const std::string& clave, const val& person) {
    const web_engine::Person held = person.isNull() ? web_engine::Person{} : person_of(person);
    const web_engine::CheckAnswer answer =
        web_engine::check_key(clave, person.isNull() ? nullptr : &held);
    return object({{"status", val(answer.status)}, {"text", text(answer.text)}});
}

std::optional<std::string> optional_text(const val& value) {
    if (value.isNull()) return std::nullopt;
    return value.as<std::string>();
}

// `io` holds read, write and message; `options` has every member set, null
// for an option left out.
int run_batch(const val& io, const val& options) {
    JsSource input(io["read"]);
    JsSink output(io["write"]);
    const val message = io["message"];
    const web_engine::BatchRequest request{
        options["foldAccents"].as<bool>(), optional_text(options["delimiter"]),
        optional_text(options["encoding"]), optional_text(options["columns"]),
        options["name"].as<std::string>()};
    return web_engine::run_batch(
        input, output, [&message](std::string_view line) { message(std::string(line)); }, request);
}

std::u16string upper_case(const std::u16string& typed) { return web_engine::upper_case(typed); }

val texts() {
    namespace shown = words::window_texts;
    return object({{"caption", text(shown::caption)},
                   {"productName", text(shown::product_name)},
                   {"tagline", text(shown::tagline)},
                   {"webAddress", text(shown::web_address)},
                   {"labels", object({{"paterno", text(shown::paterno)},
                                      {"materno", text(shown::materno)},
                                      {"nombre", text(shown::nombre)},
                                      {"fecha", text(shown::fecha)},
                                      {"rfc", text(shown::rfc)}})},
                   {"calcular", text(shown::calcular)},
                   {"foldAccentsCheckBox", text(words::fold_accents_check_box)},
                   {"settingLabels",
                    object({{"columns", text(words::page_label(words::Setting::Columns))},
                            {"delimiter", text(words::page_label(words::Setting::Delimiter))},
                            {"encoding", text(words::page_label(words::Setting::Encoding))}})},
                   {"dateMin", val(words::date_text(keycalc::supported_birth_dates.first))},
                   {"dateMax", val(words::date_text(keycalc::supported_birth_dates.last))},
                   {"dateStart", val(words::date_text(shown::date_start))}});
}

std::string version() { return std::string(web_engine::version()); }

}  // namespace

EMSCRIPTEN_BINDINGS(clave_rfc) {
    emscripten::function("upperCase", &upper_case);
    emscripten::function("computeKey", &compute_key);
    emscripten::function("checkKey", &check_key);
    emscripten::function("runBatch", &run_batch);
    emscripten::function("texts", &texts);
    emscripten::function("namePageControls", &web_engine::name_page_controls);
    emscripten::function("version", &version);
}
