#include "person_words.h"

#include "birth_date.h"
#include "message_text.h"
#include "name_input.h"
#include "utf8.h"

namespace rfc_cli {
namespace {

constexpr std::array<std::string_view, 3> name_labels = {"el apellido paterno",
                                                         "el apellido materno", "el nombre"};

}  // namespace

std::variant<PersonWords, PersonWordsProblem> read_person_words(
    std::span<const std::string_view, 4> words, bool fold_accents) {
    PersonWords person;
    for (std::size_t i = 0; i < person.names.size(); ++i) {
        if (!delimited::utf8_to_utf16(words[i], person.names[i])) {
            return PersonWordsProblem{std::string(name_labels[i]) + " no es UTF-8 válido"};
        }
        prepare_name(person.names[i], fold_accents);
    }
    const std::string_view date_text = words[3];
    const BirthDate date = parse_birth_date(date_text);
    if (const auto* error = std::get_if<DateError>(&date)) {
        return PersonWordsProblem{"la fecha «" + escaped(date_text) + "» " +
                                  std::string(date_error_text(*error))};
    }
    person.birth = std::get<std::chrono::year_month_day>(date);
    return person;
}

}  // namespace rfc_cli
