#include "visible_character.h"

#include <QChar>

namespace casing {

bool is_visible_alone(char32_t c) {
    return QChar::isLetterOrNumber(c) || QChar::isPunct(c) || QChar::isSymbol(c);
}

}  // namespace casing
