// People for the benchmarks: payroll-like names that a branch predictor
// cannot learn.
#pragma once

#include <array>
#include <chrono>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct Person {
    std::u16string_view Ap, Am, Nm;
    std::chrono::year_month_day FB;
};

// Payroll-like names drawn at random from common surnames and given names, so
// many that the branch predictor cannot learn them as it learns a handful of
// fixed names: closer to what a batch of real rows costs.
inline std::vector<Person> varied_people() {
    using namespace std::chrono;
    static constexpr std::array<std::u16string_view, 20> surnames = {
        u"HERNANDEZ", u"GARCIA",  u"MARTINEZ", u"LOPEZ",  u"GONZALEZ", u"PEREZ",     u"RODRIGUEZ",
        u"SANCHEZ",   u"RAMIREZ", u"CRUZ",     u"FLORES", u"GOMEZ",    u"MORALES",   u"VAZQUEZ",
        u"JIMENEZ",   u"REYES",   u"DIAZ",     u"TORRES", u"RUIZ",     u"DE LA CRUZ"};
    static constexpr std::array<std::u16string_view, 16> given = {
        u"JUAN",      u"MARIA",  u"JOSE",  u"LUIS", u"ANA",       u"CARLOS",
        u"JORGE",     u"MIGUEL", u"PEDRO", u"ROSA", u"GUADALUPE", u"FRANCISCO",
        u"ALEJANDRO", u"LAURA",  u"JESUS", u"SOFIA"};
    static std::vector<std::u16string> names;  // owns the texts the people view
    std::mt19937 random(42);
    const auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
    };
    constexpr std::size_t count = 1 << 14;
    names.reserve(count);
    std::vector<Person> people;
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string nm(pick(given));
        if (random() % 2) nm.append(u" ").append(pick(given));
        names.push_back(std::move(nm));
        const auto number = [&random](unsigned below) {
            return std::uniform_int_distribution<unsigned>(0, below - 1)(random);
        };
        const year_month_day born{year{1940 + static_cast<int>(number(66))}, month{1 + number(12)},
                                  day{1 + number(28)}};
        people.push_back({pick(surnames), pick(surnames), names.back(), born});
    }
    return people;
}

}  // namespace bench
