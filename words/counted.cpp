#include "counted.h"

namespace words {

std::string counted(std::size_t count, Noun what) {
    std::string text = std::to_string(count);
    text.push_back(' ');
    text.append(count == 1 ? what.one : what.many);
    return text;
}

}  // namespace words
